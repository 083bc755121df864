#pragma once

#include <istream>
#include <ostream>

namespace tessevar {

// The whole program: start-up, then relaying until the console ends it.
// Returns the process status.
int runTessevar(std::istream& input, std::ostream& output);

}  // namespace tessevar
