#pragma once

#include <optional>
#include <string>
#include <string_view>
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

// The full path of a system tool, from "/usr/bin/whereis NAME".
Result<std::string> locateTool(const std::string& name);

// The tool path in whereis output: the trimmed output itself (a bare path),
// or, for "NAME: /path ...", the first word after the colon. Nothing when
// no path is given.
std::optional<std::string> toolPathFromWhereis(std::string_view output, std::string_view name);

}  // namespace tessevar
