#include "support/x11_probe.h"

#include "support/window_manager.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <algorithm>
#include <array>
#include <cmath>

namespace tessevar::testing {

std::optional<FramedWindow> framedWindow(const std::string& display, std::int64_t window) {
  TestClient client(display);
  Display* d = *client;
  if (d == nullptr) return std::nullopt;
  const auto w = static_cast<Window>(window);
  XWindowAttributes a;
  int x = 0;
  int y = 0;
  Window child = None;
  if (XGetWindowAttributes(d, w, &a) == 0 ||
      XTranslateCoordinates(d, w, DefaultRootWindow(d), 0, 0, &x, &y, &child) == 0) {
    return std::nullopt;
  }
  // The frame a manager draws around it, as it says (left, right, top, bottom).
  std::vector<long> extents = propertyValues(d, w, "_NET_FRAME_EXTENTS", XA_CARDINAL);
  extents.resize(4, 0);
  const auto [left, right, top, bottom] = std::array<double, 4>{
      static_cast<double>(extents[0]), static_cast<double>(extents[1]), static_cast<double>(extents[2]),
      static_cast<double>(extents[3])};
  const double border = a.border_width;
  return FramedWindow{{x - border - left, y - border - top, a.width + 2 * border + left + right,
                       a.height + 2 * border + top + bottom},
                      {static_cast<double>(x), static_cast<double>(y)}};
}

Point scaledPoint(const Rect& bounds, Point reference) {
  return {bounds.x + reference.x * (bounds.width / 1154.0),
          bounds.y + reference.y * (bounds.height / 734.0)};
}

std::string buttonLine(const FramedWindow& window, Point reference) {
  const Point at = scaledPoint(window.outer, reference);
  return "button 1 " + std::to_string(std::lround(at.x) - std::lround(window.inside.x)) + " " +
         std::to_string(std::lround(at.y) - std::lround(window.inside.y));
}

TestClient::~TestClient() {
  if (display_) XCloseDisplay(display_);
}

Window TestClient::window(int x, int y, unsigned width, unsigned height, const char* className) {
  const Window w =
      XCreateSimpleWindow(display_, DefaultRootWindow(display_), x, y, width, height, 0, 0, 0);
  if (className) {
    XClassHint hint{const_cast<char*>(className), const_cast<char*>(className)};
    XSetClassHint(display_, w, &hint);
  }
  XMapWindow(display_, w);
  XSync(display_, False);
  return w;
}

void TestClient::setPid(Window w, long pid) {
  XChangeProperty(display_, w, XInternAtom(display_, "_NET_WM_PID", False), XA_CARDINAL, 32,
                  PropModeReplace, reinterpret_cast<const unsigned char*>(&pid), 1);
  XSync(display_, False);
}

void TestClient::click(Point at) {
  XTestFakeMotionEvent(display_, DefaultScreen(display_), static_cast<int>(std::lround(at.x)),
                       static_cast<int>(std::lround(at.y)), CurrentTime);
  XTestFakeButtonEvent(display_, Button1, True, CurrentTime);
  XTestFakeButtonEvent(display_, Button1, False, CurrentTime);
  XSync(display_, False);
}

bool TestClient::managed(Window window) { return carriesWmState(display_, window); }

Window TestClient::activeWindow() {
  const std::vector<Window> active = rootWindows(display_, "_NET_ACTIVE_WINDOW");
  return active.empty() ? None : active.front();
}

// Requests to the window manager go to the root with SubstructureNotify in
// their mask, so anyone watching the root's substructure sees them too.
void TestClient::watchActivationRequests() {
  XSelectInput(display_, DefaultRootWindow(display_), SubstructureNotifyMask);
  XSync(display_, False);
}

std::vector<Window> TestClient::activationRequests() {
  const Atom request = XInternAtom(display_, "_NET_ACTIVE_WINDOW", False);
  XSync(display_, False);
  while (XPending(display_) > 0) {
    XEvent event;
    XNextEvent(display_, &event);
    if (event.type == ClientMessage && event.xclient.message_type == request) {
      requests_.push_back(event.xclient.window);
      requestTimes_.push_back(event.xclient.data.l[1]);
    }
  }
  return requests_;
}

}  // namespace tessevar::testing
