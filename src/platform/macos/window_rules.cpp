#include "platform/macos/window_rules.h"

namespace tessevar::macos {
namespace {

bool hasArea(const Rect& r) { return r.width > 0 && r.height > 0; }

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
    if (w.alpha > 0 && hasArea(w.bounds) && contains(w.bounds, at)) return w.ownerName;
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

bool LookPacer::due(Clock::time_point now) {
  if (last_ && now - *last_ < interval_) return false;
  last_ = now;
  return true;
}

}  // namespace tessevar::macos
