#pragma once

#include <string>
#include <vector>

#include "util/result.h"

namespace tessevar {

// Runs the program at `launchPath` (no shell, no PATH search) with these
// arguments, its standard output read through a pipe to the end and decoded
// as lossy UTF-8, untrimmed. Standard input, standard error and the
// environment are ours. Returns when the output ends, even when the program
// runs on: it is collected once it has exited, at a later call at the
// latest, and nobody waits for it. Fails when the program cannot be started.
Result<std::string> runCommand(const std::string& launchPath, const std::vector<std::string>& args);

}  // namespace tessevar
