#include "platform/macos/window_rules.h"

namespace tessevar::macos {
namespace {

bool hasArea(const Rect& r) { return r.width > 0 && r.height > 0; }

// Apple's window levels: normal windows 0, floating windows and panels 3 to
// 19, the Dock 20, the menu bar 24 and its status items 25, open pop-up
// menus 101; above them overlays (102), help tags (200), drag images (500),
// the screen saver (1000), assistive technology (1500) and the cursor.
constexpr int popUpMenuLevel = 101;

// Whether a window stops a click that would otherwise reach what lies
// below. Everything up to open menus does, whoever owns it. The levels
// above are drawn over everything and let the mouse through (a help tag or
// the cursor never takes a click), and a fully transparent window is made
// to be clicked through: counting those would skip clicks that land.
bool takesClicks(const ListedWindow& w) { return w.alpha > 0 && w.layer <= popUpMenuLevel; }

bool contains(const Rect& r, Point at) {
  return at.x >= r.x && at.y >= r.y && at.x < r.x + r.width && at.y < r.y + r.height;
}

}  // namespace

bool isNormalWindow(const ListedWindow& window) { return window.layer == 0 && hasArea(window.bounds); }

std::vector<WindowInfo> normalWindows(const std::vector<ListedWindow>& listed) {
  std::vector<WindowInfo> windows;
  for (const ListedWindow& w : listed) {
    if (isNormalWindow(w)) windows.push_back({w.number, w.ownerName, w.bounds, w.onScreen, w.ownerPid});
  }
  return windows;
}

std::optional<std::string> ownerAtPoint(const std::vector<ListedWindow>& frontToBack, Point at) {
  for (const ListedWindow& w : frontToBack) {
    if (takesClicks(w) && hasArea(w.bounds) && contains(w.bounds, at)) return w.ownerName;
  }
  return std::nullopt;
}

bool editorInFront(const std::vector<ListedWindow>& aboveAndIncluding, std::int64_t windowNumber,
                   std::int64_t editorPid) {
  bool shown = false;
  for (const ListedWindow& w : aboveAndIncluding) {
    if (w.number == windowNumber) {
      shown = w.onScreen;
    } else if (isNormalWindow(w) && w.alpha > 0 && w.ownerPid != editorPid) {
      return false;
    }
  }
  return shown;
}

}  // namespace tessevar::macos
