#pragma once

#include <X11/Xlib.h>

#include "platform/x11/x11_connection.h"
#include "platform/x11/x11_properties.h"
#include "platform/x11/x11_window_cache.h"

namespace tessevar {

// Brings a top-level window forward: through the window manager when it
// supports _NET_ACTIVE_WINDOW (nothing when the window already is the active
// one), else by raising it and giving it the focus.
void activateWindow(const X11Connection& connection, const X11Atoms& atoms, WindowCache& cache,
                    Window window);

}  // namespace tessevar
