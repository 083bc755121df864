#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "util/result.h"

namespace tessevar {

// Global display coordinates: origin at the top-left corner of the main
// display, y growing downward.
struct Point {
  double x = 0;
  double y = 0;
  bool operator==(const Point&) const = default;
};

struct Rect {
  double x = 0;
  double y = 0;
  double width = 0;
  double height = 0;
  bool operator==(const Rect&) const = default;
};

struct WindowInfo {
  std::int64_t number = 0;  // the window server's number (X11: window id)
  std::string ownerName;    // name of the owning application or process
  Rect bounds;
  bool onScreen = true;  // mapped; a hidden window is listed but loses the choice
  std::int64_t ownerPid = 0;  // the owning process, 0 where the platform does not say
  bool operator==(const WindowInfo&) const = default;
};

// The keys the editor is given; each backend knows its own codes for them.
enum class Key { f1, f2, f3, f4, escape };

// Where a key goes: the editor's process, and its window when one is known
// (platforms that deliver keys to windows use it).
struct KeyTarget {
  std::int64_t pid = 0;
  std::int64_t windowNumber = 0;
};

// Which owners a lookup wants: a backend reads geometry only for those. An
// empty filter wants every window.
using OwnerFilter = std::function<bool(const std::string& ownerName)>;

// What editor automation needs of the desktop. Every call fails silently:
// no display, no window or no process simply means nothing happens. One
// thread uses a desktop at a time.
class Desktop {
 public:
  virtual ~Desktop() = default;

  // The top-level windows whose owner `wanted` accepts, on-screen and
  // off-screen, in the server's order.
  virtual std::vector<WindowInfo> listWindows(const OwnerFilter& wanted) = 0;
  // Bring the application owning this window to the front; nothing when its
  // window already is the active one. False when the desktop is known not to
  // have brought it forward (a backend may learn that only by a later call):
  // clicks still land only where the editor is the window at the point, and
  // keys go to its window or process, which needs no focus.
  virtual bool activate(const std::string& ownerName, std::int64_t windowNumber) = 0;
  // The owner of the topmost window at a global point, that is who a click
  // there would reach; nullopt when the point is off every screen or over no
  // window the desktop can name.
  virtual std::optional<std::string> ownerAt(Point at) = 0;
  // Left button down or up at a global point (the pointer goes there).
  virtual void postLeftButton(Point at, bool down) = 0;
  // Key down or up, delivered to the editor (its window, else its process).
  virtual void postKey(const KeyTarget& target, Key key, bool down) = 0;

  // Readable when the desktop has news about its windows; -1 when it gives
  // none. It may change after takeNotifications().
  virtual int notificationDescriptor() { return -1; }
  // Applies the news received so far, and brings back a desktop whose server
  // went away (trying at most once a second). True when windows may have
  // appeared, gone, changed owner or been activated since the last call.
  virtual bool takeNotifications() { return false; }

  // What the operator knows this desktop by ("display :0"), for the line
  // that says editor automation is on.
  virtual std::string name() const { return "the desktop"; }
};

// One way of reaching a desktop. Each backend folder provides one; the build
// lists those it builds in.
struct DesktopBackend {
  std::string_view name;
  // The desktop, or what stops it, in words the operator reads after
  // "editor automation is off: " (what to do, where there is a remedy).
  Result<std::unique_ptr<Desktop>> (*open)();
};

// The backends built into this program, in the order they are tried.
std::span<const DesktopBackend> builtInDesktops();

// The first built-in desktop that can be reached, or why none can (for
// example no X display, or no permission to post events), as the backends
// put it.
Result<std::unique_ptr<Desktop>> makeDesktop();

// A desktop with no windows that posts nothing.
std::unique_ptr<Desktop> makeNullDesktop();

}  // namespace tessevar
