// The Windows desktop against real windows: the test editor (X-AIR-Edit.exe)
// and a copy of it under another name. Run by scripts/wine-tests under Wine
// on Xvfb, where there is no window manager.
#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>

#include "editor/editor.h"
#include "editor/editor_points.h"
#include "platform/desktop.h"
#include "support/eventually.h"
#include "support/windows/windows_editor.h"

namespace tessevar::testing {
namespace {

std::int64_t numberOf(HWND window) { return static_cast<std::int64_t>(reinterpret_cast<std::intptr_t>(window)); }

std::vector<std::string> linesStartingWith(const WindowsEditor& editor, const std::string& prefix) {
  std::vector<std::string> found;
  for (const std::string& line : editor.lines()) {
    if (line.starts_with(prefix)) found.push_back(line);
  }
  return found;
}

// Where the editor's own arithmetic puts a reference point, in the client
// area of its window: what the test editor should log for a click there.
std::string clickLine(const WindowsEditor& editor, const Rect& bounds, Point reference) {
  const POINT origin = editor.screenPoint({0, 0});
  const long x = std::lround(bounds.x + reference.x * bounds.width / referenceWindowSize.width) - origin.x;
  const long y = std::lround(bounds.y + reference.y * bounds.height / referenceWindowSize.height) - origin.y;
  return "button 1 " + std::to_string(x) + " " + std::to_string(y);
}

class WindowsDesktopTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Result<std::unique_ptr<Desktop>> desktop = makeDesktop();
    ASSERT_TRUE(desktop) << desktop.reason();
    desktop_ = std::move(*desktop);
    driver_ = std::make_unique<Editor>(*desktop_, sleepPause, EditorProcessLookup{});
    fillEditorPoints(driver_->state.editorPoints);
  }

  Point reference(EditorPoint point) const { return driver_->state.editorPoints[indexOf(point)]; }

  std::unique_ptr<Desktop> desktop_;
  std::unique_ptr<Editor> driver_;
};

// What Windows reads from the program's manifest (Wine reports every
// program as per-monitor aware, so the awareness itself proves nothing).
TEST_F(WindowsDesktopTest, TheManifestAsksForPerMonitorDpiAwarenessV2) {
  wchar_t value[64]{};
  SIZE_T length = 0;
  ASSERT_TRUE(QueryActCtxSettingsW(0, nullptr, L"http://schemas.microsoft.com/SMI/2016/WindowsSettings",
                                   L"dpiAwareness", value, std::size(value), &length));
  EXPECT_EQ(std::wstring(value), L"PerMonitorV2, PerMonitor");
}

TEST_F(WindowsDesktopTest, ListsTheEditorsWindowByImageNameWithItsFrameAndProcess) {
  WindowsEditor editor({"--at", "120", "90"});
  WindowsEditor other({"--at", "300", "200"}, "Other-App");
  ASSERT_TRUE(editor.ready() && other.ready());
  const std::vector<WindowInfo> windows = desktop_->listWindows(isEditorOwner);
  ASSERT_EQ(windows.size(), 1u);
  RECT frame{};
  GetWindowRect(editor.window(), &frame);  // Wine has no DWM frame bounds
  const Rect bounds{double(frame.left), double(frame.top), double(frame.right - frame.left),
                    double(frame.bottom - frame.top)};
  EXPECT_EQ(windows[0], (WindowInfo{numberOf(editor.window()), "X-AIR-Edit", bounds, true, editor.pid()}));
  EXPECT_GE(bounds.width, 1154);
  EXPECT_GE(bounds.height, 734);
}

TEST_F(WindowsDesktopTest, ClicksLandAtTheScaledPoints) {
  WindowsEditor editor({"--at", "40", "30", "--client", "900", "600"});
  ASSERT_TRUE(editor.ready());
  ASSERT_TRUE(driver_->refreshEditorWindow());
  const Rect bounds = driver_->state.editorWindowBounds;
  std::vector<std::string> expected;
  for (EditorPoint point : {EditorPoint::strip1, EditorPoint::grid6, EditorPoint::topRow10, EditorPoint::lowerRight4,
                            EditorPoint::stripRowEnd}) {
    driver_->clickEntry(indexOf(point));
    expected.push_back(clickLine(editor, bounds, reference(point)));
  }
  ASSERT_TRUE(eventually([&] { return linesStartingWith(editor, "button").size() >= expected.size(); }));
  EXPECT_EQ(linesStartingWith(editor, "button"), expected);
}

TEST_F(WindowsDesktopTest, KeysReachTheEditorsWindowOnlyWhileItsProcessOwnsIt) {
  WindowsEditor editor;
  WindowsEditor other({"--at", "600", "400"}, "Other-App");  // has the focus
  ASSERT_TRUE(editor.ready() && other.ready());
  ASSERT_TRUE(driver_->findEditorWindow());
  desktop_->postKey({static_cast<std::int64_t>(other.pid()), numberOf(editor.window())}, Key::f2, true);
  for (Key key : {Key::f1, Key::f2, Key::f3, Key::f4, Key::escape}) driver_->pressKey(key);
  ASSERT_FALSE(editor.waitForLine("key Escape").empty());
  EXPECT_EQ(linesStartingWith(editor, "key"),
            (std::vector<std::string>{"key F1", "key F2", "key F3", "key F4", "key Escape"}));
  EXPECT_TRUE(linesStartingWith(other, "key").empty());
}

TEST_F(WindowsDesktopTest, ActivationBringsTheEditorToTheFront) {
  WindowsEditor editor({"--at", "100", "50"});
  WindowsEditor other({"--at", "200", "150", "--client", "400", "300"}, "Other-App");
  ASSERT_TRUE(editor.ready() && other.ready());
  const POINT covered = other.screenPoint({20, 20});
  const Point at{double(covered.x), double(covered.y)};
  ASSERT_EQ(desktop_->ownerAt(at), "Other-App");
  const std::size_t focused = linesStartingWith(editor, "focus").size();
  EXPECT_TRUE(desktop_->activate("X-AIR-Edit", numberOf(editor.window())));
  EXPECT_EQ(desktop_->ownerAt(at), "X-AIR-Edit");
  EXPECT_EQ(GetForegroundWindow(), editor.window());
  EXPECT_TRUE(eventually([&] { return linesStartingWith(editor, "focus").size() > focused; }));
  EXPECT_TRUE(desktop_->activate("X-AIR-Edit", numberOf(editor.window())));  // already in front
}

TEST_F(WindowsDesktopTest, APointCoveredByAnotherApplicationOrOffScreenIsNotClicked) {
  WindowsEditor editor({"--at", "100", "50"});
  ASSERT_TRUE(editor.ready());
  ASSERT_TRUE(driver_->findEditorWindow());
  const Rect bounds = driver_->state.editorWindowBounds;
  const Point strip1{bounds.x + reference(EditorPoint::strip1).x, bounds.y + reference(EditorPoint::strip1).y};
  WindowsEditor other({"--at", std::to_string(std::lround(strip1.x) - 60), std::to_string(std::lround(strip1.y) - 60),
                       "--client", "150", "150"},
                      "Other-App");
  ASSERT_TRUE(other.ready());
  EXPECT_EQ(desktop_->ownerAt(strip1), "Other-App");
  EXPECT_EQ(driver_->clickAt(reference(EditorPoint::strip1).x, reference(EditorPoint::strip1).y),
            Editor::Click::notOnEditor);
  for (Point off : {Point{-20000, 10}, Point{10, 1e9}, Point{std::nan(""), 10}}) {
    EXPECT_EQ(desktop_->ownerAt(off), std::nullopt) << off.x << "," << off.y;
  }
  // A click that is posted arrives after any that would have been.
  driver_->clickEntry(indexOf(EditorPoint::grid6));
  EXPECT_EQ(editor.waitForLine("button"), clickLine(editor, bounds, reference(EditorPoint::grid6)));
  EXPECT_TRUE(linesStartingWith(other, "button").empty());
}

}  // namespace
}  // namespace tessevar::testing
