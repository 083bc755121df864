#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <iostream>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "e2e/e2e_fixture.h"
#include "support/compositor.h"
#include "support/eventually.h"
#include "support/test_editor_client.h"
#include "support/window_manager.h"
#include "support/x11_probe.h"
#include "support/xvfb_server.h"

namespace tessevar::testing {
namespace {

// Where the editor and the program run: an X server alone or under openbox
// (Xvfb, one per test), or the compositor of a Wayland desktop with the
// editor under XWayland (one per test program, shared by its tests).
enum class DesktopKind { plainX, openbox, weston, mutter };

const char* const desktopNames[] = {"PlainX", "Openbox", "Weston", "Mutter"};

std::string desktopName(const ::testing::TestParamInfo<DesktopKind>& info) {
  return desktopNames[static_cast<int>(info.param)];
}

void PrintTo(DesktopKind kind, std::ostream* out) { *out << desktopNames[static_cast<int>(kind)]; }

std::optional<CompositorKind> compositorOf(DesktopKind kind) {
  if (kind == DesktopKind::weston) return CompositorKind::weston;
  if (kind == DesktopKind::mutter) return CompositorKind::mutter;
  return std::nullopt;
}

// Managers that keep _NET_ACTIVE_WINDOW and act on requests for it; weston
// announces it and ignores the requests.
bool keepsTheActiveWindow(DesktopKind kind) { return kind == DesktopKind::openbox || kind == DesktopKind::mutter; }

const char* const notForward = "the desktop did not bring the editor to the front";

// The whole program on a desktop with a running editor of reference size:
// what the surface and the mixer send becomes clicks and keys in the
// editor, lamps on the surface, and every datagram still goes through.
class EditorEndToEnd : public ConfiguredStage, public ::testing::WithParamInterface<DesktopKind> {
 protected:
  void SetUp() override {
    ConfiguredStage::SetUp();
    if (IsSkipped()) return;
    openDisplay();
    if (HasFatalFailure() || IsSkipped()) return;
    startDesktop();
    if (HasFatalFailure()) return;
    startDevices();
    startProgram(display, verbose());
  }

  void TearDown() override {
    if (!tessevar) return;
    if (HasFailure() && verbose()) {
      said("");
      for (const std::string& line : heard) std::cerr << "tessevar: " << line << "\n";
    }
    tessevar->type("q\n");
    tessevar.reset();  // before the editor and the X server go
  }

  // With --verbose, its progress lines read with the rest.
  virtual bool verbose() const { return true; }

  void openDisplay() {
    std::string problem;
    if (const std::optional<CompositorKind> kind = compositorOf(GetParam())) {
      const Compositor* compositor = sharedCompositor(*kind, problem);
      // Never skipped: a desktop that cannot be tested is a failure.
      if (compositor == nullptr) FAIL() << problem;
      display = compositor->display();
      return;
    }
    xvfb = XvfbServer::start(problem);
    if (!xvfb) GTEST_SKIP() << "no X server for the editor: " << problem;
    display = xvfb->display();
  }

  // The window manager (openbox, if not running yet) and the editor, taken
  // in by the manager.
  void startDesktop() {
    if (GetParam() == DesktopKind::openbox && !manager) {
      std::string problem;
      manager = WindowManager::start(display, problem);
      ASSERT_NE(manager, nullptr) << problem;
    }
    editor = std::make_unique<EditorUnderTest>(testEditorProgram(), display,
                                               std::vector<std::string>{"--geometry", "1154x734+100+50"});
    consumed = 0;
    ASSERT_TRUE(editor->ready());
    TestClient client(display);
    const auto window = static_cast<Window>(editor->window());
    if (GetParam() != DesktopKind::plainX) {
      ASSERT_TRUE(eventually([&] { return client.managed(window); }));
    }
    ASSERT_TRUE(framed = framedWindow(display, editor->window()));
    if (compositorOf(GetParam())) {
      // XWayland may drop the first click into a window that has just
      // appeared: the test's own clicks go first, until one arrives.
      ASSERT_TRUE(eventually([&] {
        client.click({framed->inside.x + 1, framed->inside.y + 1});
        return !nextInput(1, std::chrono::milliseconds(100)).empty();
      }));
    }
  }

  // The editor's log lines for clicks at these reference points.
  std::vector<std::string> clicks(const std::vector<Point>& references) const {
    std::vector<std::string> lines;
    for (const Point& reference : references) lines.push_back(buttonLine(*framed, reference));
    return lines;
  }

  // The input the editor logged once `datagram` reached it again.
  std::vector<std::string> inputOnceBack(const Bytes& datagram) {
    std::vector<std::string> input;
    sendUntil(datagram, [&] { return !(input = nextInput(1, std::chrono::milliseconds(0))).empty(); });
    return input;
  }

  // The next `count` clicks and keys the editor logged after those already
  // taken (fewer only when they do not come within `wait`).
  std::vector<std::string> nextInput(std::size_t count,
                                     std::chrono::milliseconds wait = std::chrono::seconds(20)) {
    const auto deadline = std::chrono::steady_clock::now() + wait;
    std::vector<std::string> input;
    do {
      const std::vector<std::string> lines = editor->lines();
      for (; consumed < lines.size() && input.size() < count; ++consumed) {
        if (isInput(lines[consumed])) input.push_back(lines[consumed]);
      }
      if (input.size() < count) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    } while (input.size() < count && std::chrono::steady_clock::now() < deadline);
    return input;
  }

  static bool isInput(const std::string& line) {
    return isClickLine(line) || isKeyLine(line);
  }

  std::string display;
  std::unique_ptr<XvfbServer> xvfb;
  std::unique_ptr<WindowManager> manager;
  std::unique_ptr<EditorUnderTest> editor;
  std::optional<FramedWindow> framed;
  std::size_t consumed = 0;
};

// The window is found where it is, frame included; when another window
// comes to the front, the next mixer datagram brings the editor back, or,
// on a desktop that does not act on the request, says so once.
TEST_P(EditorEndToEnd, FindsTheEditorAndBringsItForward) {
  EXPECT_FALSE(said("editor automation is off"));
  const std::string found = foundLine(framed->outer);
  EXPECT_TRUE(eventually([&] { return said(found); })) << found;

  TestClient other(display);
  const Window otherWindow = other.window(600, 300, 300, 200, "Other-App");
  const auto editorWindow = static_cast<Window>(editor->window());
  const auto focusLines = [&] { return std::ranges::count(editor->lines(), "focus"); };
  const Bytes fader = {0xE0, 0x00, 0x40};
  if (keepsTheActiveWindow(GetParam())) {
    ASSERT_TRUE(eventually([&] { return other.activeWindow() == otherWindow; }));
    EXPECT_TRUE(sendUntil(fader, [&] { return other.activeWindow() == editorWindow; }));
  } else if (GetParam() == DesktopKind::plainX) {
    XSetInputFocus(*other, otherWindow, RevertToParent, CurrentTime);
    XSync(*other, False);
    const auto before = focusLines();
    EXPECT_TRUE(sendUntil(fader, [&] { return focusLines() > before; }));
  } else {
    EXPECT_TRUE(sendUntil(fader, [&] { return said(notForward); }));
  }
  EXPECT_LE(countMentions(heard, notForward), 1);
}

TEST_P(EditorEndToEnd, DisplayRunSelectsTheStripAndIsRelayed) {
  const Bytes display12 = {0xB0, 0x60, 0x06, 0x61, 0x5B};  // "12": strip 10, then strip 12
  EXPECT_TRUE(relayedFromMixer(display12));
  EXPECT_EQ(nextInput(2), clicks({{440, 380}, {530, 380}}));
}

TEST_P(EditorEndToEnd, PageLampsClickAndPressFunctionKeys) {
  EXPECT_TRUE(relayedFromMixer({0x90, 0x36, 0x7F}));  // page 2: top row entry, then F1
  EXPECT_EQ(nextInput(2), (std::vector<std::string>{clicks({{730, 50}})[0], "key F1"}));

  mixer->send({0x90, 0x36, 0x00});  // the first lamp-off after start presses nothing
  mixer->send({0x90, 0x36, 0x00});  // a later one: F1, then Escape
  EXPECT_EQ(surface->receiveAll(), (std::vector<Bytes>{{0x90, 0x36, 0x00}, {0x90, 0x36, 0x00}}));
  EXPECT_EQ(nextInput(2), (std::vector<std::string>{"key F1", "key Escape"}));
}

TEST_P(EditorEndToEnd, KeysReachAnEditorStartedAgain) {
  editor->quit();
  startDesktop();
  // Its process is looked for again at most once a second.
  std::vector<std::string> input;
  const auto keyCame = [&] {
    for (const std::string& line : nextInput(2, std::chrono::milliseconds(0))) input.push_back(line);
    return std::find(input.begin(), input.end(), "key F1") != input.end();
  };
  EXPECT_TRUE(sendUntil({0x90, 0x36, 0x7F}, keyCame));  // clicks the top row entry, then F1
}

INSTANTIATE_TEST_SUITE_P(, EditorEndToEnd,
                         ::testing::Values(DesktopKind::plainX, DesktopKind::openbox, DesktopKind::weston,
                                           DesktopKind::mutter),
                         desktopName);

// What the mapping does, a flood, and the X server coming and going: the
// same on every desktop, so run on Xvfb only, without --verbose.
class EditorOnXvfb : public EditorEndToEnd {
 protected:
  bool verbose() const override { return false; }
};

TEST_P(EditorOnXvfb, PageSevenFollowsTheViewText) {
  mixer->send({0x90, 0x2D, 0x7F});  // page 7, first view
  const Bytes viewTwo = {0xF0, 0x00, 0x20, 0x66, 0x58, 0x21, 0x00, 0x32, 0x00, 0xF7};
  mixer->send(viewTwo);
  EXPECT_EQ(surface->receiveAll(), (std::vector<Bytes>{{0x90, 0x2D, 0x7F}, viewTwo}));
  EXPECT_EQ(nextInput(2), clicks({{320, 50}, {480, 50}}));
}

TEST_P(EditorOnXvfb, SoloButtonsClickLightTheirLampsAndStillReachTheMixer) {
  EXPECT_TRUE(relayedFromSurface({0x90, 0x5A, 0x7F}));
  EXPECT_EQ(surface->receiveAll(), (std::vector<Bytes>{{0x90, 0x5A, 0x7F}, {0x90, 0x59, 0x7F}}));
  EXPECT_EQ(nextInput(1), clicks({{1130, 415}}));

  EXPECT_TRUE(relayedFromSurface({0x90, 0x59, 0x7F}));
  EXPECT_EQ(surface->receiveAll(), (std::vector<Bytes>{{0x90, 0x59, 0x00}, {0x90, 0x5A, 0x00}}));
  EXPECT_EQ(nextInput(1), clicks({{1045, 415}}));
}

TEST_P(EditorOnXvfb, ChannelPressureNeverTouchesTheEditor) {
  mixer->send({0xD0, 0x15});
  mixer->send({0x90, 0x46, 0x7F});  // then a lamp that clicks, to know the first was done
  EXPECT_EQ(surface->receiveAll(), (std::vector<Bytes>{{0xD0, 0x15}, {0x90, 0x46, 0x7F}}));
  EXPECT_EQ(nextInput(1), clicks({{1015, 575}}));
  const std::vector<std::string> lines = editor->lines();
  EXPECT_EQ(std::count_if(lines.begin(), lines.end(), isInput), 1);
}

// One mixer datagram of 1,000 display pairs (2,001 bytes) asks for a click
// each, some ten seconds of them: the X-Touch's stream flows on meanwhile,
// the editor is left with the latest, the program says it fell behind, and
// "q" ends it without waiting for the clicks still asked.
TEST_P(EditorOnXvfb, AFloodOfClicksHoldsNeitherTheSurfaceNorQuittingUp) {
  Bytes flood{0xB0};
  for (int pair = 0; pair < 1000; ++pair) {
    flood.insert(flood.end(), {0x61, static_cast<std::uint8_t>(pair % 2 == 0 ? 0x5B : 0x06)});  // strips 2, 1, 2, ...
  }
  ASSERT_EQ(flood.size(), 2001u);
  mixer->send(flood);
  std::vector<Bytes> stream;
  for (std::uint8_t i = 0; i < 100; ++i) {
    stream.push_back({0xE0, i, 0x40});  // a fader moving
    surface->send(stream.back());
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  EXPECT_EQ(surface->receive(), flood);
  EXPECT_EQ(mixer->receiveAll(), stream);
  const std::optional<std::string> said = tessevar->nextLine(std::chrono::seconds(20));
  ASSERT_TRUE(said);
  EXPECT_EQ(said->rfind("editor automation fell behind: ", 0), 0u) << *said;

  nextInput(1000, std::chrono::milliseconds(500));  // all the editor was given
  mixer->send(flood);
  EXPECT_EQ(surface->receive(), flood);
  const auto quitAt = std::chrono::steady_clock::now();
  tessevar->type("q\n");
  EXPECT_EQ(tessevar->waitForExit(), 0);
  ::testing::Test::RecordProperty(
      "quit_ms", static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                      std::chrono::steady_clock::now() - quitAt).count()));
  tessevar.reset();
  // Carried out to the end, the queue alone would have held 128 of them.
  EXPECT_LT(nextInput(1000, std::chrono::milliseconds(500)).size(), 100u);
}

// The desktop session restarts: a new X server on the same display, the
// window manager and the editor started again.
TEST_P(EditorOnXvfb, ClicksResumeAfterTheXServerRestarts) {
  editor.reset();
  manager.reset();
  ASSERT_TRUE(xvfb->restart());
  startDesktop();
  const Bytes display12 = {0xB0, 0x60, 0x06, 0x61, 0x5B};
  ASSERT_FALSE(inputOnceBack(display12).empty());
  while (!nextInput(100, std::chrono::seconds(1)).empty()) {
  }  // what the last tries still click, until the editor is quiet
  const Bytes display13 = {0xB0, 0x60, 0x06, 0x61, 0x4F};  // from "12": strip 12 again, then strip 13
  EXPECT_TRUE(relayedFromMixer(display13));
  EXPECT_EQ(nextInput(2), clicks({{530, 380}, {575, 380}}));
}

// A session that starts its display after the program: automation is off
// at start-up, comes on with the display, and the editor is driven.
TEST_P(EditorOnXvfb, AutomationComesOnWithALateDisplay) {
  tessevar->type("q\n");
  ASSERT_EQ(tessevar->waitForExit(), 0);
  editor.reset();
  manager.reset();
  xvfb->kill();
  const std::vector<std::string>& startUp = startProgram(display, verbose());
  ASSERT_FALSE(startUp.empty());
  EXPECT_EQ(startUp.front(), "editor automation is off: no display could be opened (cannot reach X display " +
                                 display + ")");
  ASSERT_TRUE(xvfb->restart());
  startDesktop();
  EXPECT_EQ(tessevar->nextLine(std::chrono::seconds(20)), "editor automation is on: display " + display);
  EXPECT_FALSE(inputOnceBack({0xB0, 0x60, 0x06, 0x61, 0x5B}).empty());
}

INSTANTIATE_TEST_SUITE_P(, EditorOnXvfb, ::testing::Values(DesktopKind::plainX, DesktopKind::openbox),
                         desktopName);

}  // namespace
}  // namespace tessevar::testing
