#include "platform/x11/x11_input.h"

#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

namespace tessevar {

// X coordinates are 16-bit on the wire; anything beyond that range would be
// clipped by the server anyway, and clamping first keeps the rounding defined.
std::optional<int> pixel(double coordinate) {
  if (!std::isfinite(coordinate)) return std::nullopt;
  constexpr double limit = std::numeric_limits<std::int16_t>::max();
  return static_cast<int>(std::lround(std::clamp(coordinate, -limit, limit)));
}

void fakeLeftButton(const X11Connection& connection, Point at, bool down) {
  Display* display = connection.display();
  if (down) {
    const std::optional<int> x = pixel(at.x);
    const std::optional<int> y = pixel(at.y);
    if (!x || !y) return;
    XTestFakeMotionEvent(display, DefaultScreen(display), *x, *y, CurrentTime);
  }
  XTestFakeButtonEvent(display, Button1, down ? True : False, CurrentTime);
  XFlush(display);
}

KeySym keysymOf(Key key) {
  switch (key) {
    case Key::f1: return XK_F1;
    case Key::f2: return XK_F2;
    case Key::f3: return XK_F3;
    case Key::f4: return XK_F4;
    case Key::escape: return XK_Escape;
  }
  return NoSymbol;
}

void sendKey(const X11Connection& connection, Window window, KeySym keysym, bool down) {
  Display* display = connection.display();
  const KeyCode keycode = XKeysymToKeycode(display, keysym);
  if (keycode == 0) return;
  XEvent event{};
  XKeyEvent& key = event.xkey;
  key.type = down ? KeyPress : KeyRelease;
  key.display = display;
  key.window = window;
  key.root = connection.root();
  key.subwindow = None;
  key.time = CurrentTime;
  key.x = key.y = key.x_root = key.y_root = 1;
  key.state = 0;
  key.keycode = keycode;
  key.same_screen = True;
  XSendEvent(display, window, False, down ? KeyPressMask : KeyReleaseMask, &event);
  XFlush(display);
}

}  // namespace tessevar
