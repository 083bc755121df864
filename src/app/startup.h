#pragma once

#include <istream>
#include <ostream>

#include "app/options.h"

namespace tessevar {

// The whole program: start-up, then relaying until the console or a signal
// ends it; with --setup, only the setup dialogue. Progress lines (--verbose)
// go to `progress`. Returns the process status.
int runTessevar(const Options& options, std::istream& input, std::ostream& output, std::ostream& progress);

}  // namespace tessevar
