#include "platform/x11/x11_activation.h"

#include <X11/Xatom.h>

#include <chrono>

namespace tessevar {
namespace {

// EWMH source indication for requests from pagers and automation tools.
constexpr long kSourcePager = 2;

// How long a window manager may take to act on a request.
constexpr std::chrono::seconds activationPatience{1};

Window createStampWindow(Display* display, Window root) {
  XSetWindowAttributes attributes{};
  attributes.override_redirect = True;
  attributes.event_mask = PropertyChangeMask;
  return XCreateWindow(display, root, -10, -10, 1, 1, 0, CopyFromParent, InputOnly, CopyFromParent,
                       CWOverrideRedirect | CWEventMask, &attributes);
}

}  // namespace

X11Activation::X11Activation(const X11Connection& connection, const X11Atoms& atoms)
    : connection_(connection),
      atoms_(atoms),
      stampWindow_(createStampWindow(connection.display(), connection.root())),
      watch_(activationPatience) {}

bool X11Activation::activate(WindowCache& cache, Window window) {
  if (!connection_.usable()) return true;
  if (!cache.supports(atoms_.netActiveWindow)) {
    XRaiseWindow(connection_.display(), window);
    // Fails with BadMatch while the window is unmapped; the handler drops it.
    XSetInputFocus(connection_.display(), window, RevertToParent, CurrentTime);
    XFlush(connection_.display());
    return true;
  }
  const bool inFront = cache.activeWindow() == window;
  const bool honoured = watch_.judge(static_cast<std::int64_t>(window), inFront,
                                     ActivationWatch::Clock::now());
  // Asking again would change nothing visible, and costs the manager work.
  if (!inFront && connection_.usable()) askManager(window, freshTime(cache));
  return honoured;
}

// Managers weigh a request's time against the user's last input (mutter
// calls a request without one buggy): the time of a change made just now.
Time X11Activation::freshTime(WindowCache& cache) {
  XChangeProperty(connection_.display(), stampWindow_, atoms_.timeStamp, XA_STRING, 8,
                  PropModeAppend, nullptr, 0);
  XSync(connection_.display(), False);
  cache.catchUp();
  return cache.serverTime();
}

void X11Activation::askManager(Window window, Time time) {
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = atoms_.netActiveWindow;
  event.xclient.format = 32;
  event.xclient.data.l[0] = kSourcePager;
  event.xclient.data.l[1] = static_cast<long>(time);
  XSendEvent(connection_.display(), connection_.root(), False,
             SubstructureRedirectMask | SubstructureNotifyMask, &event);
  XFlush(connection_.display());
}

}  // namespace tessevar
