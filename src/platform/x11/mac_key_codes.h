#pragma once

#include <X11/X.h>

#include <cstdint>

namespace tessevar {

// The keysym for one of the macOS virtual key codes the program sends
// (F1 to F4, Escape); NoSymbol for any other code.
KeySym keysymForMacKeyCode(std::uint16_t code);

}  // namespace tessevar
