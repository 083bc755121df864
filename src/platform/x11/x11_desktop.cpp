#include "platform/desktop.h"

namespace tessevar {

// Placeholder until the X11 backend lands.
std::unique_ptr<Desktop> makeDesktop(std::string& problem) {
  problem = "no display backend built";
  return nullptr;
}

}  // namespace tessevar
