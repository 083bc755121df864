#pragma once

#include <X11/Xlib.h>

#include "platform/x11/x11_connection.h"
#include "platform/x11/x11_properties.h"

namespace tessevar {

// Brings a top-level window forward: through the window manager when it
// supports _NET_ACTIVE_WINDOW, else by raising it and giving it the focus.
void activateWindow(const X11Connection& connection, const X11Atoms& atoms, Window window);

}  // namespace tessevar
