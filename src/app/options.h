#pragma once

#include <ostream>
#include <span>
#include <string>
#include <string_view>

namespace tessevar {

// What the command line asks for. No arguments at all means a plain run
// with nothing else set, so the program behaves as it always did.
struct Options {
  enum class Action { run, help, version, usageError };
  Action action = Action::run;
  bool setup = false;     // --setup: the setup dialogue, then exit
  bool verbose = false;   // --verbose: progress lines on standard error
  std::string offending;  // usageError: the first argument not understood
};

// The arguments after the program name. Any argument not understood makes
// the whole line a usage error; otherwise --help wins over --version.
Options parseOptions(std::span<const std::string_view> arguments);

// Answers help, version and usage errors without starting anything:
// prints to `out` or `err` and returns the exit status (0, or 2 for a
// usage error). Not for Action::run.
int answerOptions(const Options& options, std::ostream& out, std::ostream& err);

}  // namespace tessevar
