#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>

#include "platform/x11_session.h"

namespace tessevar::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

using X11Input = X11Session;

std::vector<std::string> keyLines(const EditorUnderTest& editor) {
  std::vector<std::string> keys;
  for (const std::string& line : editor.lines()) {
    if (line.rfind("key ", 0) == 0) keys.push_back(line);
  }
  return keys;
}

struct ClickCase {
  const char* geometry;
  Point reference;
};

// The click is placed the way the portable code places it: from the listed
// bounds, scaled from the 1154 x 734 layout, rounded to a pixel here.
TEST_F(X11Input, ClickLandsAtTheScaledPointOfTheEditorWindow) {
  const ClickCase cases[] = {
      {"1154x734+100+50", {25, 380}},
      {"577x367+0+25", {1130, 415}},
      {"2308x1468+10+20", {40, 50}},
      {"577x367+0+25", {0, 0}},
  };
  for (const ClickCase& c : cases) {
    SCOPED_TRACE(c.geometry);
    auto editor = startEditor({"--geometry", c.geometry});
    const std::optional<WindowInfo> window = findWindow(editor->window());
    ASSERT_TRUE(window.has_value());
    const Point at = scaledPoint(window->bounds, c.reference);
    desktop_->postLeftButton(at, true);
    desktop_->postLeftButton(at, false);
    const long x = std::lround(at.x) - static_cast<long>(window->bounds.x);
    const long y = std::lround(at.y) - static_cast<long>(window->bounds.y);
    EXPECT_EQ(editor->waitForLine("button "),
              "button 1 " + std::to_string(x) + " " + std::to_string(y));
  }
}

TEST_F(X11Input, DownAtAPointThatIsNotANumberPostsNothing) {
  auto editor = startEditor({"--geometry", "1154x734+0+0"});
  desktop_->postLeftButton({std::nan(""), 10}, true);
  desktop_->postLeftButton({std::nan(""), 10}, false);
  desktop_->postLeftButton({7, 9}, true);
  desktop_->postLeftButton({7, 9}, false);
  ASSERT_EQ(editor->waitForLine("button "), "button 1 7 9");
  int presses = 0;
  for (const std::string& line : editor->lines()) presses += line.rfind("button ", 0) == 0;
  EXPECT_EQ(presses, 1);
}

struct KeyCase {
  std::uint16_t macCode;
  const char* logged;
};

TEST_F(X11Input, MacKeyCodesReachTheEditorAsFunctionKeysAndEscape) {
  const KeyCase cases[] = {{0x7A, "key F1"}, {0x78, "key F2"}, {0x63, "key F3"},
                           {0x76, "key F4"}, {0x35, "key Escape"}};
  auto editor = startEditor();
  std::vector<std::string> expected;
  for (const KeyCase& c : cases) {
    desktop_->postKey(editor->pid(), c.macCode, true);
    desktop_->postKey(editor->pid(), c.macCode, false);
    expected.push_back(c.logged);
    ASSERT_EQ(editor->waitForLine(c.logged), c.logged);
  }
  EXPECT_EQ(keyLines(*editor), expected);
}

// Events from one client reach the editor in order, so once the last key is
// logged, anything wrongly sent before it would be logged too.
TEST_F(X11Input, KeysGoOnlyToTheAddressedProcessAndOnlyForKnownCodes) {
  auto editor = startEditor({"--geometry", "300x200+0+0"});
  auto other = startEditor({"--geometry", "300x200+400+0"}, "Other-App");
  desktop_->postKey(editor->pid(), 0x00, true);  // the A key: not one we send
  desktop_->postKey(other->pid(), 0x7A, true);
  desktop_->postKey(0, 0x7A, true);
  desktop_->postKey(editor->pid(), 0x35, true);
  ASSERT_EQ(editor->waitForLine("key "), "key Escape");
  ASSERT_EQ(other->waitForLine("key "), "key F1");
  EXPECT_THAT(keyLines(*editor), ElementsAre("key Escape"));
  EXPECT_THAT(keyLines(*other), ElementsAre("key F1"));
}

TEST_F(X11Input, ActivationGivesTheEditorWindowTheFocus) {
  auto other = startEditor({"--geometry", "300x200+400+0"}, "Other-App");
  auto editor = startEditor({"--geometry", "300x200+0+0"});
  desktop_->activate("X-AIR-Edit", editor->window());
  EXPECT_EQ(editor->waitForLine("focus"), "focus");
  EXPECT_THAT(other->lines(), ElementsAre(::testing::StartsWith("ready ")));
  desktop_->activate("X-AIR-Edit", 0x7fffffff);  // no such window: nothing breaks
  EXPECT_FALSE(desktop_->listWindows({}).empty());
}

}  // namespace
}  // namespace tessevar::testing
