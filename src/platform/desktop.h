#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

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
  bool operator==(const WindowInfo&) const = default;
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
  // window already is the active one.
  virtual void activate(const std::string& ownerName, std::int64_t windowNumber) = 0;
  // The owner of the topmost window at a global point, that is who a click
  // there would reach; nullopt when the point is off every screen or over no
  // window the desktop can name.
  virtual std::optional<std::string> ownerAt(Point at) = 0;
  // Left button down or up at a global point (the pointer goes there).
  virtual void postLeftButton(Point at, bool down) = 0;
  // Key down or up, as a macOS virtual key code, delivered to one process.
  virtual void postKey(std::int64_t pid, std::uint16_t keyCode, bool down) = 0;

  // Readable when the desktop has news about its windows; -1 when it gives
  // none. It may change after takeNotifications().
  virtual int notificationDescriptor() { return -1; }
  // Applies the news received so far, and brings back a desktop whose server
  // went away (trying at most once a second). True when windows may have
  // appeared, gone, changed owner or been activated since the last call.
  virtual bool takeNotifications() { return false; }
};

// The platform's desktop, or nullptr when none can be reached (for example
// no X display, or one that does not answer); `problem` then says why, in a
// few words.
std::unique_ptr<Desktop> makeDesktop(std::string& problem);

// A desktop with no windows that posts nothing.
std::unique_ptr<Desktop> makeNullDesktop();

}  // namespace tessevar
