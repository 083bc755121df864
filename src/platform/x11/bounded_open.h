#pragma once

#include <X11/Xlib.h>

#include <chrono>
#include <string>

namespace tessevar {

// XOpenDisplay(name) that gives up after `patience`: a server that accepts
// the connection and never answers would otherwise block for ever. The open
// goes on on a helper thread and its display is closed if it ever comes;
// while such an abandoned open of `name` is still waiting, no other is
// started, so a silent server costs one thread, not one per attempt.
// nullptr when no display came; `gaveUp` tells that it ran out of time.
Display* openDisplayWithin(const std::string& name, std::chrono::milliseconds patience,
                           bool& gaveUp);

}  // namespace tessevar
