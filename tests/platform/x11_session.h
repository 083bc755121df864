#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/desktop.h"
#include "platform/editor_under_test.h"
#include "platform/xvfb_server.h"

namespace tessevar::testing {

// Each test gets its own Xvfb, DISPLAY pointing at it, and the real X11
// desktop opened on it. Skips when Xvfb is not there.
class X11Session : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Starts the test editor, or the same program under another name (through
  // a symlink, so its process name is `name`).
  std::unique_ptr<EditorUnderTest> startEditor(const std::vector<std::string>& args = {},
                                               const std::string& name = "X-AIR-Edit");

  // The listed window with this number, if any.
  std::optional<WindowInfo> findWindow(std::int64_t number);
  // Moves and resizes a window through a connection of its own.
  void placeWindow(std::int64_t number, const Rect& where);

  std::unique_ptr<XvfbServer> server_;
  std::unique_ptr<Desktop> desktop_;

 private:
  std::string linkDir_;
};

// The global point of a reference point (1154 x 734 layout) in `bounds`,
// computed as the portable click code does.
Point scaledPoint(const Rect& bounds, Point reference);

}  // namespace tessevar::testing
