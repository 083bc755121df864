#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "editor/editor.h"
#include "support/fake_desktop.h"

namespace tessevar {
namespace {

using testing::DesktopEvent;
using testing::FakeDesktop;
using Kind = DesktopEvent::Kind;

// The editor driving a recording desktop with no process lookup.
class EditorOnFakeDesktop : public ::testing::Test {
 protected:
  FakeDesktop desktop;
  Editor editor{desktop, desktop.pause(), {}};
};

struct ScaleCase {
  Rect window;
  Point reference;
  Point expected;
};

class ClickScaling : public EditorOnFakeDesktop, public ::testing::WithParamInterface<ScaleCase> {};

TEST_P(ClickScaling, PostsDownHoldUpAtTheScaledPoint) {
  const ScaleCase& c = GetParam();
  desktop.windows = {{4, "X-AIR-Edit", c.window}};
  editor.clickAt(c.reference.x, c.reference.y);
  const std::vector<DesktopEvent> expected{{.kind = Kind::leftButton, .at = c.expected, .down = true},
                                           {.kind = Kind::pause, .duration = std::chrono::microseconds{10'000}},
                                           {.kind = Kind::leftButton, .at = c.expected, .down = false}};
  EXPECT_EQ(desktop.events, expected);
}

INSTANTIATE_TEST_SUITE_P(Windows, ClickScaling,
                         ::testing::Values(ScaleCase{{100, 50, 1154, 734}, {25, 380}, {125, 430}},
                                           ScaleCase{{0, 25, 577, 367}, {1130, 415}, {565, 232.5}},
                                           ScaleCase{{10, 20, 2308, 1468}, {40, 50}, {90, 120}},
                                           ScaleCase{{33, 44, 1731, 367}, {40, 50}, {93, 69}}));

struct ReachCase {
  const char* name;
  std::vector<WindowInfo> windows;  // later ones on top
  Point reference;
  bool posted;
};

class ClickReach : public EditorOnFakeDesktop, public ::testing::WithParamInterface<ReachCase> {};

// A click is posted only where the editor itself would receive it.
TEST_P(ClickReach, PostsOnlyWhereTheEditorIsOnTop) {
  desktop.windows = GetParam().windows;
  editor.clickAt(GetParam().reference.x, GetParam().reference.y);
  EXPECT_EQ(desktop.clicks().size(), GetParam().posted ? 1u : 0u);
}

const WindowInfo editorAtOrigin{4, "X-AIR-Edit", {0, 0, 1154, 734}};

INSTANTIATE_TEST_SUITE_P(
    Desktops, ClickReach,
    ::testing::Values(
        ReachCase{"uncovered", {editorAtOrigin}, {75, 380}, true},
        // X would move the pointer to the screen's edge and click there.
        ReachCase{"off_screen", {{4, "X-AIR-Edit", {-500, -300, 1154, 734}}}, {75, 380}, false},
        ReachCase{
            "covered_by_another_application", {editorAtOrigin, {5, "Terminal", {50, 350, 100, 100}}}, {75, 380}, false},
        ReachCase{"other_window_elsewhere", {editorAtOrigin, {5, "Terminal", {600, 0, 100, 100}}}, {75, 380}, true},
        ReachCase{"editor_dialog_on_top", {editorAtOrigin, {6, "X-AIR-Edit", {50, 350, 100, 100}}}, {75, 380}, true},
        ReachCase{"beyond_the_window", {editorAtOrigin}, {1500, 900}, false}),
    [](const auto& info) { return std::string(info.param.name); });

using ClickAt = EditorOnFakeDesktop;

TEST_F(ClickAt, FollowsTheWindowWhenItMovesBetweenClicks) {
  desktop.windows = {{4, "X-AIR-Edit", {0, 0, 1154, 734}}};
  editor.clickAt(25, 380);
  desktop.windows = {{4, "X-AIR-Edit", {200, 100, 1154, 734}}};
  editor.clickAt(25, 380);
  EXPECT_EQ(desktop.clicks(), (std::vector<Point>{{25, 380}, {225, 480}}));
  EXPECT_EQ(desktop.lookups, 2);
}

TEST_F(ClickAt, NoEditorWindowMeansNothingPostedAfterTheLookup) {
  desktop.windows = {{1, "Finder", {0, 0, 1154, 734}}};
  editor.clickAt(25, 380);
  EXPECT_TRUE(desktop.events.empty());
  EXPECT_EQ(desktop.lookups, 1);
}

// Keys from an editor that reads a process listing the test controls: the
// editor runs as `running` (0: none), and the listing's clock reads `now`.
class PressKey : public EditorOnFakeDesktop {
 protected:
  std::chrono::steady_clock::time_point now{};
  std::int64_t running = 0;
  int searches = 0;
  Editor tracking{desktop,
                  desktop.pause(),
                  {[this]() -> Result<std::int64_t> {
                     ++searches;
                     return running;
                   },
                   [this](std::int64_t pid) { return pid == running; }, [this] { return now; }}};
};

// The editor restarted, or started after the program: keys follow it, and
// the process listing is read at most once a second meanwhile.
TEST_F(PressKey, FindsARestartedEditorAtMostOnceASecond) {
  Editor& editor = tracking;
  editor.setEditorPid(0);  // none at start-up
  editor.pressKey(Key::f1);
  EXPECT_EQ(searches, 0);

  running = 700;  // started later
  now += std::chrono::milliseconds(999);
  editor.pressKey(Key::f1);
  now += std::chrono::milliseconds(1);
  editor.pressKey(Key::f2);
  running = 800;  // restarted
  editor.pressKey(Key::f3);
  now += std::chrono::seconds(1);
  editor.pressKey(Key::f4);
  editor.pressKey(Key::escape);  // still running: no search

  EXPECT_EQ(searches, 2);
  std::vector<std::int64_t> pids;
  for (const auto& e : desktop.events)
    if (e.down) pids.push_back(e.number);
  EXPECT_EQ(pids, (std::vector<std::int64_t>{700, 700, 800, 800}));
  EXPECT_EQ(desktop.keys(), (std::vector<Key>{Key::f2, Key::f3, Key::f4, Key::escape}));
}

// Where the desktop names the window's process, no process listing is read.
TEST_F(PressKey, GoesToTheWindowTheDesktopNamesWithItsOwnersProcess) {
  desktop.windows = {{4, "X-AIR-Edit", {0, 0, 1154, 734}, true, 900}};
  running = 512;
  ASSERT_TRUE(tracking.findEditorWindow());
  tracking.pressKey(Key::f1);
  ASSERT_EQ(desktop.events.size(), 2u);
  EXPECT_EQ(desktop.events[0].number, 900);
  EXPECT_EQ(desktop.events[0].window, 4);
  EXPECT_EQ(searches, 0);
}

TEST_F(PressKey, NeedsAPositivePidAndPostsDownThenUpWithoutPause) {
  editor.pressKey(Key::f1);
  editor.state.editorPid = -3;
  editor.pressKey(Key::f1);
  EXPECT_TRUE(desktop.events.empty());

  editor.state.editorPid = 512;
  editor.pressKey(Key::f1);
  const std::vector<DesktopEvent> expected{{.kind = Kind::key, .down = true, .number = 512, .key = Key::f1},
                                           {.kind = Kind::key, .down = false, .number = 512, .key = Key::f1}};
  EXPECT_EQ(desktop.events, expected);
  EXPECT_EQ(desktop.lookups, 0);
}

}  // namespace
}  // namespace tessevar
