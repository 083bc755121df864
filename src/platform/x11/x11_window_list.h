#pragma once

#include <X11/Xlib.h>

#include <optional>
#include <vector>

#include "platform/desktop.h"
#include "platform/x11/x11_connection.h"
#include "platform/x11/x11_properties.h"
#include "platform/x11/x11_window_cache.h"

namespace tessevar {

// The top-level client windows in the server's order: the window manager's
// _NET_CLIENT_LIST when it publishes one (managed), else the root's children.
struct TopLevels {
  std::vector<Window> windows;
  bool managed = false;
};

TopLevels topLevelWindows(const X11Connection& connection, const X11Atoms& atoms);

// _NET_WM_PID of a window, 0 when it has none.
long windowPid(const X11Connection& connection, const X11Atoms& atoms, Window window);

// Number, owner name and outer rectangle of each top-level window. Unmapped
// windows are listed when they name an owner (pid or WM_CLASS), as the editor
// can be found off-screen; unmapped windows naming nobody are toolkit helpers
// and are left out. Owner names, and a root child's rectangle and map state,
// come from `cache` when it has them. Empty once the connection is lost.
std::vector<WindowInfo> describeWindows(const X11Connection& connection, const X11Atoms& atoms,
                                        const TopLevels& topLevels, WindowCache& cache);

// The owner of the topmost window at a point of the screen: the root child
// there, or the first window inside it that names an owner (a window
// manager's frame names none). nullopt off the screen or over no owner.
std::optional<std::string> ownerOfWindowAt(const X11Connection& connection, const X11Atoms& atoms,
                                           Point at);

}  // namespace tessevar
