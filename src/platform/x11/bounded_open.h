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
// A local display whose socket nobody listens on is not handed to Xlib, and
// one whose server keeps refusing the connection is asked less and less
// often (up to every 32 s): Xlib prints each refusal on standard error.
// nullptr when no display came; `gaveUp` tells that it ran out of time.
Display* openDisplayWithin(const std::string& name, std::chrono::milliseconds patience,
                           bool& gaveUp);

}  // namespace tessevar
