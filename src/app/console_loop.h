#pragma once

#include <atomic>
#include <functional>
#include <istream>

#include "util/line_output.h"

namespace tessevar {

struct ConsoleActions {
  std::function<void()> runSetup;     // the setup dialogue, on this thread
  std::function<void()> requestQuit;  // raises quitRequested and wakes the relay
};

// Prints the banner, then reads the operator's input one character at a
// time: q or Q quits; s or S runs the setup and then quits, because new
// settings take effect only at the next start. Returns once quitting was
// requested, or at end of input (relaying goes on until ended from outside).
void consoleLoop(std::istream& input, LineOutput& output, const std::atomic<bool>& quitRequested,
                 const ConsoleActions& actions);

}  // namespace tessevar
