#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "platform/x11_session.h"

namespace tessevar::testing {
namespace {

using ::testing::ElementsAre;

using X11Input = X11Session;
using X11InputOnDesktops = X11Desktops;

std::vector<std::string> linesStarting(const EditorUnderTest& editor, const std::string& prefix) {
  std::vector<std::string> found;
  for (const std::string& line : editor.lines()) {
    if (line.rfind(prefix, 0) == 0) found.push_back(line);
  }
  return found;
}

// The click is placed the way the portable code places it: from the listed
// bounds (the outer frame under a window manager), scaled from the
// 1154 x 734 layout, rounded to a pixel here.
TEST_P(X11InputOnDesktops, ClickLandsAtTheScaledPointOfTheOuterFrame) {
  const struct {
    const char* geometry;
    Point reference;
  } cases[] = {
      {"1154x734+100+50", {25, 380}},
      {"577x367+0+25", {1130, 415}},
      {"2308x1468+10+20", {40, 50}},
      {"577x367+0+25", {730, 380}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.geometry);
    auto editor = startEditor({"--geometry", c.geometry});
    const std::optional<WindowInfo> window = findWindow(editor->window());
    const std::optional<FramedWindow> framed = framedWindow(server_->display(), editor->window());
    ASSERT_TRUE(window && framed);
    EXPECT_EQ(window->bounds, framed->outer);
    click(scaledPoint(window->bounds, c.reference));
    EXPECT_EQ(editor->waitForLine("button "), buttonLine(*framed, c.reference));
  }
}

TEST_F(X11Input, DownAtAPointThatIsNotANumberPostsNothing) {
  auto editor = startEditor({"--geometry", "1154x734+0+0"});
  click({std::nan(""), 10});
  click({7, 9});
  ASSERT_EQ(editor->waitForLine("button "), "button 1 7 9");
  EXPECT_EQ(linesStarting(*editor, "button ").size(), 1u);
}

TEST_P(X11InputOnDesktops, KeysReachTheEditorAsFunctionKeysAndEscape) {
  const struct {
    Key key;
    const char* logged;
  } cases[] = {
      {Key::f1, "key F1"}, {Key::f2, "key F2"}, {Key::f3, "key F3"}, {Key::f4, "key F4"}, {Key::escape, "key Escape"}};
  auto editor = startEditor();
  std::vector<std::string> expected;
  for (const auto& c : cases) {
    pressKey({editor->pid(), 0}, c.key);
    expected.push_back(c.logged);
    ASSERT_EQ(editor->waitForLine(c.logged), c.logged);
  }
  EXPECT_EQ(linesStarting(*editor, "key "), expected);
}

// Events from one client reach the editor in order, so once the last key is
// logged, anything wrongly sent before it would be logged too.
TEST_F(X11Input, KeysGoOnlyToTheAddressedProcessOrWindow) {
  auto editor = startEditor({"--geometry", "300x200+0+0"});
  auto other = startEditor({"--geometry", "300x200+400+0"}, "Other-App");
  desktop_->postKey({other->pid(), 0}, Key::f1, true);
  desktop_->postKey({0, 0}, Key::f2, true);
  desktop_->postKey({0, other->window()}, Key::f3, true);  // the window alone, as the desktop named it
  desktop_->postKey({editor->pid(), 0}, Key::escape, true);
  ASSERT_EQ(editor->waitForLine("key "), "key Escape");
  ASSERT_EQ(other->waitForLine("key F3"), "key F3");
  EXPECT_THAT(linesStarting(*editor, "key "), ElementsAre("key Escape"));
  EXPECT_THAT(linesStarting(*other, "key "), ElementsAre("key F1", "key F3"));
}

// Under a window manager activation is a request to it, made only while
// another window is active; without one the editor is raised and focused.
TEST_P(X11InputOnDesktops, ActivationGivesTheEditorTheFocusAndIsNotRepeatedWhileActive) {
  auto editor = startEditor({"--geometry", "300x200+0+0"});
  auto other = startEditor({"--geometry", "300x200+400+0"}, "Other-App");
  TestClient spy(server_->display());
  ASSERT_NE(*spy, nullptr);
  const auto editorWindow = static_cast<Window>(editor->window());
  const auto otherWindow = static_cast<Window>(other->window());
  if (manager_) {
    ASSERT_TRUE(eventually([&] { return spy.activeWindow() == otherWindow; }));
  }
  spy.watchActivationRequests();
  const std::size_t focusBefore = linesStarting(*editor, "focus").size();
  desktop_->activate("X-AIR-Edit", editor->window());
  EXPECT_TRUE(eventually([&] { return linesStarting(*editor, "focus").size() > focusBefore; }));
  if (manager_) {
    ASSERT_TRUE(eventually([&] { return spy.activeWindow() == editorWindow; }));
    desktop_->listWindows({});  // brings the news of the change in
    desktop_->activate("X-AIR-Edit", editor->window());
    desktop_->activate("Other-App", other->window());
    const std::vector<Window> expected{editorWindow, otherWindow};
    EXPECT_TRUE(eventually([&] { return spy.activationRequests().size() >= 2; }));
    EXPECT_EQ(spy.activationRequests(), expected);
  }
  desktop_->activate("X-AIR-Edit", 0x7fffffff);  // no such window: nothing breaks
  EXPECT_FALSE(desktop_->listWindows({}).empty());
}

// A manager that announces _NET_ACTIVE_WINDOW and leaves the requests
// unanswered (weston; sway only marks the window urgent): each request
// carries the server's time, and a later one tells that the first went
// unhonoured. Once the editor is the active window, all is well again.
TEST_F(X11Input, AnActivationTheManagerLeavesUnansweredIsToldAtALaterCall) {
  auto editor = startEditor();
  TestClient manager(server_->display());
  ASSERT_NE(*manager, nullptr);
  const Window root = DefaultRootWindow(*manager);
  setProperty(*manager, root, "_NET_SUPPORTED", "ATOM", {long(XInternAtom(*manager, "_NET_ACTIVE_WINDOW", False))});
  manager.watchActivationRequests();
  EXPECT_TRUE(desktop_->activate("X-AIR-Edit", editor->window()));
  ASSERT_TRUE(eventually([&] { return !manager.activationRequests().empty(); }));
  EXPECT_NE(manager.activationRequestTimes().front(), 0) << "CurrentTime";
  EXPECT_TRUE(eventually([&] { return !desktop_->activate("X-AIR-Edit", editor->window()); }));

  setProperty(*manager, root, "_NET_ACTIVE_WINDOW", "WINDOW", {long(editor->window())});
  const std::size_t asked = manager.activationRequests().size();
  EXPECT_TRUE(desktop_->activate("X-AIR-Edit", editor->window()));
  EXPECT_EQ(manager.activationRequests().size(), asked) << "asked while active";
}

// A restarted editor may get the window number of the one that went away.
TEST_P(X11InputOnDesktops, KeysReachAnEditorStartedAgain) {
  auto first = startEditor();
  desktop_->postKey({first->pid(), 0}, Key::f1, true);
  ASSERT_EQ(first->waitForLine("key "), "key F1");
  first->quit();
  auto second = startEditor();
  EXPECT_TRUE(eventually([&] {
    desktop_->takeNotifications();
    desktop_->postKey({second->pid(), 0}, Key::f1, true);
    return !linesStarting(*second, "key ").empty();
  }));
}

INSTANTIATE_TEST_SUITE_P(, X11InputOnDesktops, ::testing::Values(WindowManagerKind::none, WindowManagerKind::openbox),
                         windowManagerName);

}  // namespace
}  // namespace tessevar::testing
