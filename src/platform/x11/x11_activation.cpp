#include "platform/x11/x11_activation.h"

#include <X11/Xatom.h>

namespace tessevar {
namespace {

// EWMH source indication for requests from pagers and automation tools.
constexpr long kSourcePager = 2;

void askManager(const X11Connection& connection, const X11Atoms& atoms, Window window) {
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = atoms.netActiveWindow;
  event.xclient.format = 32;
  event.xclient.data.l[0] = kSourcePager;
  event.xclient.data.l[1] = CurrentTime;
  XSendEvent(connection.display(), connection.root(), False,
             SubstructureRedirectMask | SubstructureNotifyMask, &event);
}

}  // namespace

void activateWindow(const X11Connection& connection, const X11Atoms& atoms, WindowCache& cache,
                    Window window) {
  if (cache.supports(atoms.netActiveWindow)) {
    // Asking again would change nothing visible, and costs the manager work.
    if (cache.activeWindow() == window) return;
    askManager(connection, atoms, window);
  } else if (connection.usable()) {
    XRaiseWindow(connection.display(), window);
    // Fails with BadMatch while the window is unmapped; the handler drops it.
    XSetInputFocus(connection.display(), window, RevertToParent, CurrentTime);
  }
  if (connection.usable()) XFlush(connection.display());
}

}  // namespace tessevar
