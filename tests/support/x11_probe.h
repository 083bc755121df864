#pragma once

#include <X11/Xlib.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/desktop.h"

namespace tessevar::testing {

// How a window sits on the display, read through a connection of the test's
// own: the rectangle of the root child holding it (its frame under a window
// manager, else itself, border included) and where its inside starts.
struct FramedWindow {
  Rect outer;
  Point inside;
};
std::optional<FramedWindow> framedWindow(const std::string& display, std::int64_t window);

// The global point of a reference point (1154 x 734 layout) in `bounds`,
// computed as the portable click code does.
Point scaledPoint(const Rect& bounds, Point reference);

// The test editor's log line for a click at reference point `reference` of
// the window's outer rectangle.
std::string buttonLine(const FramedWindow& window, Point reference);

// Another X client of a test display, closed before the server stops.
class TestClient {
 public:
  explicit TestClient(const std::string& display) : display_(XOpenDisplay(display.c_str())) {}
  ~TestClient();
  TestClient(const TestClient&) = delete;
  TestClient& operator=(const TestClient&) = delete;
  Display* operator*() const { return display_; }

  // A mapped window with this WM_CLASS (none when nullptr).
  Window window(int x, int y, unsigned width, unsigned height, const char* className);
  void setPid(Window window, long pid);
  // A left click at a global point through XTest, as the program posts one.
  void click(Point at);
  // Whether the window manager lists the window among its clients.
  bool managed(Window window);
  // The root's _NET_ACTIVE_WINDOW, None when there is none.
  Window activeWindow();
  // Starts recording the _NET_ACTIVE_WINDOW requests sent to the root.
  void watchActivationRequests();
  // The windows whose activation was requested, in order, so far.
  std::vector<Window> activationRequests();
  // The server times those requests carried (0: none).
  const std::vector<long>& activationRequestTimes() const { return requestTimes_; }

 private:
  Display* display_;
  std::vector<Window> requests_;
  std::vector<long> requestTimes_;
};

}  // namespace tessevar::testing
