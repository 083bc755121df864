#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "platform/x11_session.h"

namespace tessevar::testing {
namespace {

using ::testing::Contains;
using ::testing::Field;
using ::testing::Not;

using X11WindowList = X11Session;
using X11WindowListOnDesktops = X11Desktops;

// The window is listed as the editor's, with these outer bounds.
void expectEditorWindow(const std::optional<WindowInfo>& window, const Rect& bounds) {
  ASSERT_TRUE(window.has_value());
  EXPECT_EQ(window->ownerName, "X-AIR-Edit");
  EXPECT_EQ(window->bounds, bounds);
}

TEST_F(X11WindowList, ReportsTheEditorWithItsProcessNameAndOuterRectangleMappedOrNot) {
  const struct {
    std::vector<std::string> args;
    Rect expected;  // outer rectangle, border included
  } cases[] = {
      {{"--geometry", "1154x734+100+50", "--border", "0"}, {100, 50, 1154, 734}},
      {{"--geometry", "577x367+0+25", "--border", "2"}, {0, 25, 581, 371}},
      {{"--geometry", "2308x1468+10+20", "--border", "0"}, {10, 20, 2308, 1468}},
      {{"--unmapped", "--geometry", "577x367+30+40"}, {30, 40, 577, 367}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.args));
    auto editor = startEditor(c.args);
    expectEditorWindow(findWindow(editor->window()), c.expected);
  }
}

// The owner is the process behind _NET_WM_PID; only without one does the
// WM_CLASS class stand in.
TEST_F(X11WindowList, NamesTheOwnerByProcessElseByWindowClass) {
  const struct {
    const char* processName;
    std::vector<std::string> args;
    const char* expectedOwner;
  } cases[] = {
      {"Other-App", {}, "Other-App"},
      {"Other-App", {"--class", "X-AIR-Edit"}, "Other-App"},
      {"Other-App", {"--no-pid", "--class", "M-AIR-Edit"}, "M-AIR-Edit"},
      {"X-AIR-Edit", {"--class", "Something"}, "X-AIR-Edit"},
  };
  int index = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(index);
    std::vector<std::string> args = c.args;
    const std::string corner = "+" + std::to_string(50 * index++) + "+0";
    args.insert(args.end(), {"--geometry", "200x100" + corner});
    auto app = startEditor(args, c.processName);
    const std::optional<WindowInfo> window = findWindow(app->window());
    ASSERT_TRUE(window.has_value());
    EXPECT_EQ(window->ownerName, c.expectedOwner);
  }
}

// Under a window manager the bounds are its frame's, which the request moves
// (north-west gravity), once the manager has carried it out.
TEST_P(X11WindowListOnDesktops, FollowsAWindowThatMovesAndResizes) {
  auto editor = startEditor({"--geometry", "1154x734+100+50"});
  ASSERT_EQ(findWindow(editor->window())->bounds, framedWindow(server_->display(), editor->window())->outer);
  placeWindow(editor->window(), {300, 200, 577, 367});
  std::optional<FramedWindow> framed;
  EXPECT_TRUE(eventually([&] {
    framed = framedWindow(server_->display(), editor->window());
    const std::optional<WindowInfo> listed = findWindow(editor->window());
    return framed && listed && framed->outer.x == 300 && listed->bounds == framed->outer;
  }));
  EXPECT_EQ(framed->outer.y, 200);
  EXPECT_GE(framed->outer.width, 577);
}

TEST_F(X11WindowList, LosesTheEditorWhenItQuitsAndFindsItWhenItComesBack) {
  auto first = startEditor();
  const std::int64_t oldNumber = first->window();
  ASSERT_TRUE(findWindow(oldNumber).has_value());
  first->quit();
  // The server tears the client's windows down on its own schedule.
  for (int attempt = 0; attempt < 2000 && findWindow(oldNumber); ++attempt) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  EXPECT_THAT(desktop_->listWindows({}), Not(Contains(Field(&WindowInfo::ownerName, "X-AIR-Edit"))));

  auto second = startEditor({"--geometry", "577x367+5+6"});
  expectEditorWindow(findWindow(second->window()), {5, 6, 577, 367});
}

INSTANTIATE_TEST_SUITE_P(, X11WindowListOnDesktops,
                         ::testing::Values(WindowManagerKind::none, WindowManagerKind::openbox), windowManagerName);

}  // namespace
}  // namespace tessevar::testing
