#pragma once

// How the macOS backend reads the window server's list. Plain C++ over what
// the list says of each window, so it is tested on every platform.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/desktop.h"
#include "platform/look_pacer.h"

namespace tessevar::macos {

// One entry of the window server's list.
struct ListedWindow {
  std::int64_t number = 0;
  std::int64_t ownerPid = 0;
  std::string ownerName;
  int layer = 0;  // 0: a normal application window
  Rect bounds;
  bool onScreen = false;
  double alpha = 1;
};

// The editor's window is a normal-layer window with an area; its menus,
// tooltips, panels and zero-size helper windows never are.
bool isNormalWindow(const ListedWindow& window);

// The candidates among a lookup's entries, as the seam lists them.
std::vector<WindowInfo> normalWindows(const std::vector<ListedWindow>& listed);

// Who a click at `at` reaches, from the on-screen list (front to back):
// the first window there that takes clicks. Fully transparent windows and
// those above the pop-up menu level (overlays, help tags, the cursor) are
// passed over.
std::optional<std::string> ownerAtPoint(const std::vector<ListedWindow>& frontToBack, Point at);

// From the list of on-screen windows above the editor's window, with that
// window itself: whether it is shown with no normal window of another
// process above it, so activating would change nothing.
bool editorInFront(const std::vector<ListedWindow>& aboveAndIncluding, std::int64_t windowNumber,
                   std::int64_t editorPid);

}  // namespace tessevar::macos
