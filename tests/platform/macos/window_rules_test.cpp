#include "platform/macos/window_rules.h"

#include <gtest/gtest.h>

namespace tessevar::macos {
namespace {

ListedWindow window(std::int64_t number, std::int64_t pid, int layer, Rect bounds, bool onScreen = true,
                    double alpha = 1) {
  return {number, pid, "owner" + std::to_string(pid), layer, bounds, onScreen, alpha};
}

const Rect editorBounds{100, 50, 1154, 734};

TEST(MacWindowRules, OnlyNormalWindowsWithAnAreaAreCandidates) {
  const std::vector<ListedWindow> listed = {
      window(10, 7, 0, editorBounds, false),
      window(11, 7, 3, editorBounds),            // a floating panel
      window(12, 7, 0, {100, 50, 0, 734}),       // no width
      window(13, 7, 0, {100, 50, 1154, 0}),      // no height
      window(14, 7, 101, {0, 0, 200, 20}),       // a menu
      window(15, 8, 0, {5, 6, 7, 8}),
  };
  EXPECT_EQ(normalWindows(listed), (std::vector<WindowInfo>{{10, "owner7", editorBounds, false, 7},
                                                            {15, "owner8", {5, 6, 7, 8}, true, 8}}));
}

TEST(MacWindowRules, AClickReachesTheFrontmostVisibleWindowAtThePoint) {
  const std::vector<ListedWindow> frontToBack = {
      window(6, 6, 2147483630, {595, 395, 32, 32}),   // the cursor
      window(7, 7, 102, {0, 0, 1440, 900}),          // a click-through overlay
      window(8, 8, 200, {640, 440, 90, 20}),         // a help tag
      window(1, 1, 25, {0, 0, 1440, 24}),            // the menu bar
      window(9, 9, 101, {200, 100, 150, 200}),       // another application's open menu
      window(2, 2, 0, {0, 0, 1440, 900}, true, 0),   // an invisible window
      window(10, 10, 3, {1000, 100, 100, 100}),      // a floating panel
      window(3, 3, 0, {600, 400, 0, 0}),             // no area
      window(4, 4, 0, {500, 300, 200, 200}),
      window(11, 11, 20, {300, 850, 800, 50}),       // the Dock
      window(5, 5, 0, editorBounds),
  };
  struct Case {
    Point at;
    std::optional<std::string> owner;
  } cases[] = {
      {{10, 10}, "owner1"},     {{600, 400}, "owner4"},   {{699.5, 499.5}, "owner4"}, {{700, 500}, "owner5"},
      {{101, 51}, "owner5"},    {{1300, 850}, std::nullopt}, {{250, 150}, "owner9"},  {{1050, 150}, "owner10"},
      {{400, 860}, "owner11"},  {{650, 450}, "owner4"},
  };
  for (const Case& c : cases) EXPECT_EQ(ownerAtPoint(frontToBack, c.at), c.owner) << c.at.x << "," << c.at.y;
}

TEST(MacWindowRules, TheEditorIsInFrontWhenNoOtherApplicationsWindowIsAboveIt) {
  const ListedWindow editor = window(40, 7, 0, editorBounds);
  struct Case {
    const char* what;
    std::vector<ListedWindow> aboveAndIncluding;
    bool inFront;
  } cases[] = {
      {"alone", {editor}, true},
      {"under the menu bar and the Dock", {window(1, 1, 25, {0, 0, 1440, 24}), window(2, 2, 20, {}), editor}, true},
      {"under a window of its own", {window(41, 7, 0, {0, 0, 300, 200}), editor}, true},
      {"under an invisible window", {window(3, 3, 0, {0, 0, 1440, 900}, true, 0), editor}, true},
      {"under another application's window", {window(4, 4, 0, {0, 0, 300, 200}), editor}, false},
      {"hidden", {window(40, 7, 0, editorBounds, false)}, false},
      {"not listed", {window(1, 1, 25, {0, 0, 1440, 24})}, false},
  };
  for (const Case& c : cases) EXPECT_EQ(editorInFront(c.aboveAndIncluding, 40, 7), c.inFront) << c.what;
}

TEST(MacWindowRules, AFreshLookIsDueOncePerInterval) {
  LookPacer pacer(std::chrono::seconds(1));
  const LookPacer::Clock::time_point start{};
  EXPECT_TRUE(pacer.due(start));
  EXPECT_FALSE(pacer.due(start + std::chrono::milliseconds(999)));
  EXPECT_TRUE(pacer.due(start + std::chrono::seconds(1)));
  EXPECT_FALSE(pacer.due(start + std::chrono::milliseconds(1500)));
}

}  // namespace
}  // namespace tessevar::macos
