#include <gtest/gtest.h>
#include <stdlib.h>

#include "platform/x11_session.h"

namespace tessevar::testing {
namespace {

TEST(X11Connection, NoDisplayMeansNoDesktopAndAReason) {
  const char* unreachable[] = {nullptr, "", ":4093"};
  for (const char* display : unreachable) {
    SCOPED_TRACE(display ? display : "(unset)");
    if (display) {
      setenv("DISPLAY", display, 1);
    } else {
      unsetenv("DISPLAY");
    }
    std::string problem;
    EXPECT_EQ(makeDesktop(problem), nullptr);
    EXPECT_FALSE(problem.empty());
  }
}

using X11ServerLoss = X11Session;

TEST_F(X11ServerLoss, DesktopBecomesEmptyAndQuietWhenTheServerDies) {
  auto editor = startEditor();
  ASSERT_FALSE(desktop_->listWindows({}).empty());
  server_->kill();
  for (int round = 0; round < 2; ++round) {
    EXPECT_TRUE(desktop_->listWindows({}).empty());
    desktop_->activate("X-AIR-Edit", editor->window());
    desktop_->postLeftButton({10, 10}, true);
    desktop_->postLeftButton({10, 10}, false);
    desktop_->postKey(editor->pid(), 0x7A, true);
    desktop_->postKey(editor->pid(), 0x7A, false);
  }
  desktop_.reset();
  SUCCEED() << "still running after the server went away";
}

// The first call after the loss is a pure write with no reply to wait for:
// it must neither end the process (Xlib's exit, SIGPIPE) nor block.
TEST_F(X11ServerLoss, APostIntoADeadConnectionDoesNotEndTheProcess) {
  server_->kill();
  desktop_->postLeftButton({10, 10}, true);
  desktop_->postLeftButton({10, 10}, false);
  EXPECT_TRUE(desktop_->listWindows({}).empty());
}

}  // namespace
}  // namespace tessevar::testing
