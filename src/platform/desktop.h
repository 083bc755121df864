#pragma once

#include <cstdint>
#include <memory>
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
};

// What editor automation needs of the desktop. Every call fails silently:
// no display, no window or no process simply means nothing happens.
class Desktop {
 public:
  virtual ~Desktop() = default;

  // Every top-level window, on-screen and off-screen, in the server's order.
  virtual std::vector<WindowInfo> listWindows() = 0;
  // Bring the application owning this window to the front.
  virtual void activate(const std::string& ownerName, std::int64_t windowNumber) = 0;
  // Left button down or up at a global point (the pointer goes there).
  virtual void postLeftButton(Point at, bool down) = 0;
  // Key down or up, as a macOS virtual key code, delivered to one process.
  virtual void postKey(std::int64_t pid, std::uint16_t keyCode, bool down) = 0;
};

// The platform's desktop, or nullptr when none can be reached (for example
// no X display); `problem` then says why, in a few words.
std::unique_ptr<Desktop> makeDesktop(std::string& problem);

// A desktop with no windows that posts nothing.
std::unique_ptr<Desktop> makeNullDesktop();

}  // namespace tessevar
