#include "platform/x11/mac_key_codes.h"

#include <X11/keysym.h>

namespace tessevar {

KeySym keysymForMacKeyCode(std::uint16_t code) {
  switch (code) {
    case 0x7A: return XK_F1;
    case 0x78: return XK_F2;
    case 0x63: return XK_F3;
    case 0x76: return XK_F4;
    case 0x35: return XK_Escape;
    default: return NoSymbol;
  }
}

}  // namespace tessevar
