#include <gtest/gtest.h>

#include "editor/editor.h"
#include "support/fake_desktop.h"

namespace tessevar {
namespace {

using testing::DesktopEvent;
using testing::FakeDesktop;
using Kind = DesktopEvent::Kind;

struct ScaleCase {
  Rect window;
  Point reference;
  Point expected;
  double scaleX;
  double scaleY;
};

class ClickScaling : public ::testing::TestWithParam<ScaleCase> {};

TEST_P(ClickScaling, PostsDownHoldUpAtTheScaledPoint) {
  const ScaleCase& c = GetParam();
  FakeDesktop desktop;
  desktop.windows = {{4, "X-AIR-Edit", c.window}};
  Editor editor{desktop, desktop.pause()};
  editor.clickAt(c.reference.x, c.reference.y);
  const std::vector<DesktopEvent> expected{
      {.kind = Kind::leftButton, .at = c.expected, .down = true},
      {.kind = Kind::pause, .duration = std::chrono::microseconds{10'000}},
      {.kind = Kind::leftButton, .at = c.expected, .down = false}};
  EXPECT_EQ(desktop.events, expected);
  EXPECT_EQ(editor.state.windowScaleX, c.scaleX);
  EXPECT_EQ(editor.state.windowScaleY, c.scaleY);
}

INSTANTIATE_TEST_SUITE_P(
    Windows, ClickScaling,
    ::testing::Values(ScaleCase{{100, 50, 1154, 734}, {25, 380}, {125, 430}, 1.0, 1.0},
                      ScaleCase{{0, 25, 577, 367}, {1130, 415}, {565, 232.5}, 0.5, 0.5},
                      ScaleCase{{10, 20, 2308, 1468}, {40, 50}, {90, 120}, 2.0, 2.0},
                      ScaleCase{{33, 44, 800, 600}, {0, 0}, {33, 44}, 800 / 1154.0, 600 / 734.0},
                      // Beyond the reference size: posted outside the window, not clamped.
                      ScaleCase{{0, 0, 1154, 734}, {1500, 900}, {1500, 900}, 1.0, 1.0}));

TEST(ClickAt, FollowsTheWindowWhenItMovesBetweenClicks) {
  FakeDesktop desktop;
  Editor editor{desktop, desktop.pause()};
  desktop.windows = {{4, "X-AIR-Edit", {0, 0, 1154, 734}}};
  editor.clickAt(25, 380);
  desktop.windows = {{4, "X-AIR-Edit", {200, 100, 1154, 734}}};
  editor.clickAt(25, 380);
  EXPECT_EQ(desktop.clicks(), (std::vector<Point>{{25, 380}, {225, 480}}));
  EXPECT_EQ(desktop.lookups, 2);
}

TEST(ClickAt, NoEditorWindowMeansNothingPostedAfterTheLookup) {
  FakeDesktop desktop;
  desktop.windows = {{1, "Finder", {0, 0, 1154, 734}}};
  Editor editor{desktop, desktop.pause()};
  editor.clickAt(25, 380);
  EXPECT_TRUE(desktop.events.empty());
  EXPECT_EQ(desktop.lookups, 1);
}

TEST(PressKey, NeedsAPositivePidAndPostsDownThenUpWithoutPause) {
  FakeDesktop desktop;
  Editor editor{desktop, desktop.pause()};
  editor.pressKey(0x7A);
  editor.state.editorPid = -3;
  editor.pressKey(0x7A);
  EXPECT_TRUE(desktop.events.empty());

  editor.state.editorPid = 512;
  editor.pressKey(0x7A);
  const std::vector<DesktopEvent> expected{
      {.kind = Kind::key, .down = true, .number = 512, .keyCode = 0x7A},
      {.kind = Kind::key, .down = false, .number = 512, .keyCode = 0x7A}};
  EXPECT_EQ(desktop.events, expected);
  EXPECT_EQ(desktop.lookups, 0);
}

}  // namespace
}  // namespace tessevar
