#pragma once

#include <functional>
#include <istream>

#include "util/line_output.h"
#include "util/stop_signal.h"

namespace tessevar {

// "now listening..." and the box that says what can be typed; printed once
// both links are ready.
void printBanner(LineOutput& output);

// Reads the operator's input one character at a time: q or Q quits; s or S
// runs `runSetup` and then quits, because new settings take effect only at
// the next start. Quitting raises `stop`. Returns once the stop is raised
// (by this loop or from elsewhere, which also ends the input) or at end of
// input (relaying then goes on until ended from outside).
void consoleLoop(std::istream& input, LineOutput& output, StopSignal& stop, const std::function<void()>& runSetup);

}  // namespace tessevar
