#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/desktop.h"
#include "support/eventually.h"
#include "support/test_editor_client.h"
#include "support/window_manager.h"
#include "support/x11_probe.h"
#include "support/xvfb_server.h"

namespace tessevar::testing {

// Each test gets its own Xvfb, DISPLAY pointing at it, and the real X11
// desktop opened on it. Skips when Xvfb is not there.
class X11Session : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  virtual WindowManagerKind windowManager() const { return WindowManagerKind::none; }

  // Starts the test editor, or the same program under another name (through
  // a symlink, so its process name is `name`). Under a window manager it
  // returns once the desktop lists its (mapped) window.
  std::unique_ptr<EditorUnderTest> startEditor(const std::vector<std::string>& args = {},
                                               const std::string& name = "X-AIR-Edit");

  // A left click, and a key press, posted down then up through the desktop.
  void click(Point at);
  void pressKey(const KeyTarget& target, Key key);
  // The listed window with this number, if any.
  std::optional<WindowInfo> findWindow(std::int64_t number);
  // Moves and resizes a window through a connection of its own.
  void placeWindow(std::int64_t number, const Rect& where);
  // The X server crashes and a new one starts on the same display, with the
  // window manager if the test has one.
  void restartServer();

  std::unique_ptr<XvfbServer> server_;
  std::unique_ptr<WindowManager> manager_;
  std::unique_ptr<Desktop> desktop_;

 private:
  void startWindowManager();
  std::string linkDir_;
};

// Sets a 32-bit property of `window` (`type` named as the atom is, such as
// "WINDOW") and waits until the server has it.
void setProperty(Display* display, Window window, const char* name, const char* type, std::vector<long> values);

// The same tests without a window manager and under openbox.
class X11Desktops : public X11Session, public ::testing::WithParamInterface<WindowManagerKind> {
 protected:
  WindowManagerKind windowManager() const override { return GetParam(); }
};

std::string windowManagerName(const ::testing::TestParamInfo<WindowManagerKind>& info);

}  // namespace tessevar::testing
