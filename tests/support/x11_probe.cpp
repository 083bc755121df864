#include "support/x11_probe.h"

#include "support/window_manager.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <cmath>

namespace tessevar::testing {

std::optional<FramedWindow> framedWindow(const std::string& display, std::int64_t window) {
  TestClient client(display);
  Display* d = *client;
  if (d == nullptr) return std::nullopt;
  const Window root = DefaultRootWindow(d);
  Window top = static_cast<Window>(window);
  for (;;) {
    Window rootOut = None;
    Window parent = None;
    Window* children = nullptr;
    unsigned count = 0;
    if (XQueryTree(d, top, &rootOut, &parent, &children, &count) == 0) return std::nullopt;
    if (children != nullptr) XFree(children);
    if (parent == root) break;
    top = parent;
  }
  XWindowAttributes a;
  int x = 0;
  int y = 0;
  Window child = None;
  if (XGetWindowAttributes(d, top, &a) == 0 ||
      XTranslateCoordinates(d, static_cast<Window>(window), root, 0, 0, &x, &y, &child) == 0) {
    return std::nullopt;
  }
  return FramedWindow{{static_cast<double>(a.x), static_cast<double>(a.y),
                       a.width + 2.0 * a.border_width, a.height + 2.0 * a.border_width},
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

namespace {


}  // namespace

bool TestClient::managed(Window window) {
  const std::vector<Window> clients = rootWindows(display_, "_NET_CLIENT_LIST");
  return std::find(clients.begin(), clients.end(), window) != clients.end();
}

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
    }
  }
  return requests_;
}

}  // namespace tessevar::testing
