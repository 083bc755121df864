#pragma once

#include <X11/Xlib.h>

#include <cstdint>
#include <optional>

#include "platform/desktop.h"
#include "platform/x11/x11_connection.h"

namespace tessevar {

// The pixel a coordinate lands on: rounded, within the 16 bits X carries;
// nullopt for a coordinate that is not a finite number.
std::optional<int> pixel(double coordinate);

// Left button through XTest; a press first moves the pointer to the point
// (rounded). A press at a point that is not a finite number posts nothing.
void fakeLeftButton(const X11Connection& connection, Point at, bool down);

// The keysym of a key the editor is given.
KeySym keysymOf(Key key);

// A synthetic key press or release of `keysym`, sent to one window.
void sendKey(const X11Connection& connection, Window window, KeySym keysym, bool down);

}  // namespace tessevar
