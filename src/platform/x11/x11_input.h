#pragma once

#include <X11/Xlib.h>

#include <cstdint>

#include "platform/desktop.h"
#include "platform/x11/x11_connection.h"

namespace tessevar {

// Left button through XTest; a press first moves the pointer to the point
// (rounded). A press at a point that is not a finite number posts nothing.
void fakeLeftButton(const X11Connection& connection, Point at, bool down);

// A synthetic key press or release of `keysym`, sent to one window.
void sendKey(const X11Connection& connection, Window window, KeySym keysym, bool down);

}  // namespace tessevar
