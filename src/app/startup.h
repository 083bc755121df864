#pragma once

#include <ostream>

#include "app/options.h"

namespace tessevar {

// The whole program: start-up, then relaying until the console or a signal
// ends it; with --setup, only the setup dialogue. Reads standard input;
// progress lines (--verbose) go to `progress`. Returns the process status.
int runTessevar(const Options& options, std::ostream& output, std::ostream& progress);

}  // namespace tessevar
