// What keeps clicks on the editor and the desktop current: who a click at a
// point would reach, map state, the server's news, and a server that comes
// back. Each runs without a window manager and under openbox.
#include <gtest/gtest.h>
#include <poll.h>

#include <cmath>

#include "platform/x11_session.h"

namespace tessevar::testing {
namespace {

using X11DesktopOnDesktops = X11Desktops;

// Waits for the desktop's descriptor and takes its news until it reports a
// change; false when none comes.
bool notified(Desktop& desktop) {
  return eventually([&] {
    pollfd p{desktop.notificationDescriptor(), POLLIN, 0};
    if (p.fd >= 0) poll(&p, 1, 100);
    return desktop.takeNotifications();
  });
}

struct PointCase {
  const char* what;
  Point at;
  std::optional<std::string> owner;
};

// The editor at (0, 0), partly covered by another application's window.
TEST_P(X11DesktopOnDesktops, OwnerAtAPointIsWhoAClickThereWouldReach) {
  auto editor = startEditor({"--geometry", "600x400+0+0"});
  auto other = startEditor({"--geometry", "300x200+200+150"}, "Other-App");
  const PointCase cases[] = {
      {"inside the editor", {100, 300}, "X-AIR-Edit"}, {"covered by the other window", {300, 250}, "Other-App"},
      {"on no window", {1500, 1000}, std::nullopt},    {"left of the screen", {-500, 300}, std::nullopt},
      {"below the screen", {100, 1600}, std::nullopt}, {"not a number", {std::nan(""), 10}, std::nullopt},
  };
  for (const PointCase& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(desktop_->ownerAt(c.at), c.owner);
  }
}

// A hidden editor window must not win the choice over a shown one: it is
// either not listed (a window manager lists only what it manages) or not
// on screen, and so is a managed one the window manager has hidden.
TEST_P(X11DesktopOnDesktops, OnlyMappedWindowsAreOnScreen) {
  auto hidden = startEditor({"--unmapped", "--geometry", "10x10+0+0"});
  auto shown = startEditor({"--geometry", "600x400+50+50"});
  for (const WindowInfo& window : desktop_->listWindows({})) {
    EXPECT_EQ(window.onScreen, window.number != hidden->window()) << window.number;
  }
  ASSERT_TRUE(findWindow(shown->window()).value_or(WindowInfo{}).onScreen);
  if (!manager_) return;
  TestClient client(server_->display());
  XIconifyWindow(*client, static_cast<Window>(shown->window()), DefaultScreen(*client));
  XSync(*client, False);
  EXPECT_TRUE(eventually([&] {
    const std::optional<WindowInfo> listed = findWindow(shown->window());
    return listed && !listed->onScreen;
  }));
}

TEST_P(X11DesktopOnDesktops, NotificationsTellOfAnEditorWindowThatComesAndGoes) {
  auto editor = startEditor();
  ASSERT_TRUE(notified(*desktop_));
  EXPECT_TRUE(findWindow(editor->window()).has_value());
  editor->quit();
  ASSERT_TRUE(notified(*desktop_));
  EXPECT_TRUE(eventually([&] { return !findWindow(editor->window()); }));
  // Taking the news empties the descriptor: a caller waiting on it never spins.
  int rounds = 0;
  for (pollfd p{desktop_->notificationDescriptor(), POLLIN, 0}; poll(&p, 1, 0) > 0 && rounds < 100; ++rounds) {
    desktop_->takeNotifications();
  }
  EXPECT_LT(rounds, 100);
}

TEST_P(X11DesktopOnDesktops, ClicksResumeOnARestartedServer) {
  auto before = startEditor();
  ASSERT_TRUE(findWindow(before->window()).has_value());
  restartServer();
  EXPECT_TRUE(desktop_->listWindows({}).empty());
  auto editor = startEditor({"--geometry", "600x400+50+60"});
  std::optional<WindowInfo> window;
  ASSERT_TRUE(eventually([&] {
    desktop_->takeNotifications();
    return (window = findWindow(editor->window())).has_value();
  }));
  const Point at = scaledPoint(window->bounds, {577, 367});
  ASSERT_EQ(desktop_->ownerAt(at), "X-AIR-Edit");
  click(at);
  EXPECT_EQ(editor->waitForLine("button "),
            buttonLine(*framedWindow(server_->display(), editor->window()), {577, 367}));
}

INSTANTIATE_TEST_SUITE_P(, X11DesktopOnDesktops, ::testing::Values(WindowManagerKind::none, WindowManagerKind::openbox),
                         windowManagerName);

}  // namespace
}  // namespace tessevar::testing
