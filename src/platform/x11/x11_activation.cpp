#include "platform/x11/x11_activation.h"

#include <X11/Xatom.h>

#include <algorithm>
#include <vector>

namespace tessevar {
namespace {

// EWMH source indication for requests from pagers and automation tools.
constexpr long kSourcePager = 2;

bool managerSupports(const X11Connection& connection, Atom hint, Atom supportedList) {
  const std::vector<long> supported =
      readLongs(connection.display(), connection.root(), supportedList, XA_ATOM, 4096);
  return std::find(supported.begin(), supported.end(), static_cast<long>(hint)) !=
         supported.end();
}

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

void activateWindow(const X11Connection& connection, const X11Atoms& atoms, Window window) {
  if (managerSupports(connection, atoms.netActiveWindow, atoms.netSupported)) {
    askManager(connection, atoms, window);
  } else if (connection.usable()) {
    XRaiseWindow(connection.display(), window);
    // Fails with BadMatch while the window is unmapped; the handler drops it.
    XSetInputFocus(connection.display(), window, RevertToParent, CurrentTime);
  }
  if (connection.usable()) XFlush(connection.display());
}

}  // namespace tessevar
