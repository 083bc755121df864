#pragma once

#include <X11/Xlib.h>

namespace tessevar {

// Xlib's error handlers are process-wide. These keep a registry of the
// displays we own: errors on them are swallowed, errors on any other display
// go to whatever handler was installed before.
void adoptDisplayErrors(Display* display);
void releaseDisplayErrors(Display* display);

}  // namespace tessevar
