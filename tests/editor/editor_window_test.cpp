#include <gtest/gtest.h>

#include <limits>

#include "editor/editor.h"
#include "support/fake_desktop.h"

namespace tessevar {
namespace {

using testing::DesktopEvent;
using testing::FakeDesktop;

class EditorWindowTest : public ::testing::Test {
 protected:
  FakeDesktop desktop;
  Editor editor{desktop, desktop.pause(), {}};
};

TEST_F(EditorWindowTest, OnlyExactOwnerNamesMatch) {
  desktop.windows = {{1, "x-air-edit", {1, 1, 10, 10}},
                     {2, "X-AIR-Edit Helper", {2, 2, 10, 10}},
                     {3, "", {3, 3, 10, 10}},
                     {4, "M-AIR-Edit", {40, 50, 600, 400}}};
  ASSERT_TRUE(editor.findEditorWindow());
  EXPECT_EQ(editor.state.editorWindowBounds, (Rect{40, 50, 600, 400}));
  EXPECT_EQ(editor.state.editorName, "M-AIR-Edit");
}

TEST_F(EditorWindowTest, SeveralMatchesChooseTheLowestNumberAndNameTheLastMatch) {
  desktop.windows = {{9, "Terminal", {0, 0, 5, 5}},
                     {30, "X-AIR-Edit", {300, 0, 100, 100}},
                     {12, "X-AIR-Edit", {120, 0, 1154, 734}},
                     {20, "M-AIR-Edit", {200, 0, 100, 100}}};
  ASSERT_TRUE(editor.refreshEditorWindow());
  EXPECT_EQ(editor.state.editorWindowBounds, (Rect{120, 0, 1154, 734}));
  EXPECT_EQ(editor.state.editorName, "M-AIR-Edit");
  ASSERT_EQ(desktop.events.size(), 1u);
  EXPECT_EQ(desktop.events[0],
            (DesktopEvent{.kind = DesktopEvent::Kind::activate, .ownerName = "M-AIR-Edit", .number = 12}));
}

// Without a window manager a hidden helper window of the editor can carry a
// lower number than its main window; it must not draw the clicks.
TEST_F(EditorWindowTest, HiddenWindowServesOnlyWhenNoneIsShown) {
  desktop.windows = {{3, "X-AIR-Edit", {0, 0, 10, 10}, false}, {9, "X-AIR-Edit", {100, 50, 1154, 734}}};
  ASSERT_TRUE(editor.findEditorWindow());
  EXPECT_EQ(editor.state.editorWindowNumber, 9);
  desktop.windows = {{3, "X-AIR-Edit", {0, 0, 10, 10}, false}, {2, "X-AIR-Edit", {5, 5, 20, 20}, false}};
  ASSERT_TRUE(editor.findEditorWindow());
  EXPECT_EQ(editor.state.editorWindowNumber, 2);
}

TEST_F(EditorWindowTest, WindowWithoutUsableBoundsIsSkipped) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  desktop.windows = {{1, "X-AIR-Edit", {nan, 0, 1154, 734}}, {5, "X-AIR-Edit", {8, 9, 1154, 734}}};
  ASSERT_TRUE(editor.findEditorWindow());
  EXPECT_EQ(editor.state.editorWindowBounds, (Rect{8, 9, 1154, 734}));
}

TEST_F(EditorWindowTest, WindowThatDisappearsKeepsItsBoundsAndIsFoundAgainWhenItReturns) {
  desktop.windows = {{5, "X-AIR-Edit", {10, 20, 1154, 734}}};
  ASSERT_TRUE(editor.findEditorWindow());
  desktop.windows = {{6, "Finder", {0, 0, 50, 50}}};
  EXPECT_FALSE(editor.refreshEditorWindow());
  EXPECT_EQ(editor.state.editorWindowBounds, (Rect{10, 20, 1154, 734}));
  EXPECT_EQ(desktop.activations(), 0);
  desktop.windows = {{8, "X-AIR-Edit", {30, 40, 577, 367}}};
  EXPECT_TRUE(editor.refreshEditorWindow());
  EXPECT_EQ(editor.state.editorWindowBounds, (Rect{30, 40, 577, 367}));
  EXPECT_EQ(desktop.activations(), 1);
}

}  // namespace
}  // namespace tessevar
