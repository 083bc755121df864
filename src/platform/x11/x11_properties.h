#pragma once

#include <X11/Xlib.h>

#include <optional>
#include <string>
#include <vector>

namespace tessevar {

// The atoms the backend reads or sends, interned in one round trip.
struct X11Atoms {
  Atom netClientList = None;
  Atom netWmPid = None;
  Atom netFrameExtents = None;
  Atom netActiveWindow = None;
  Atom netSupported = None;
  Atom netSupportingWmCheck = None;
  Atom wmState = None;    // set by window managers on the clients they manage
  Atom timeStamp = None;  // our own, touched to learn the server's time

  static X11Atoms intern(Display* display);
};

// A 32-bit-format property as Xlib hands it over (one long per item);
// nullopt when the window or the property is missing or has another type.
// `windowGone`, when given, tells whether the window was missing.
std::optional<std::vector<long>> readList(Display* display, Window window, Atom property,
                                          Atom type, long maxItems, bool* windowGone = nullptr);
// The same, with a missing property read as empty.
std::vector<long> readLongs(Display* display, Window window, Atom property, Atom type,
                            long maxItems);

// Whether a window carries `property` (of any type); `windowGone` tells
// whether the window was missing.
bool hasProperty(Display* display, Window window, Atom property, bool& windowGone);

// A window's parent and children (bottom to top); nullopt when the window
// is missing.
struct WindowTree {
  Window parent = None;
  std::vector<Window> children;
};
std::optional<WindowTree> queryTree(Display* display, Window window);

// The class part of WM_CLASS, when set.
std::optional<std::string> windowClass(Display* display, Window window);

}  // namespace tessevar
