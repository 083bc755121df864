#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace tessevar::testing {

// Starts argv[0] (looked up in PATH when it has no slash) with stdout and
// stderr going to /dev/null; -1 when it cannot be started.
pid_t spawnProcess(const std::vector<std::string>& argv);

// Starts it with one extra open descriptor, `keepOpen`, that the child inherits.
pid_t spawnProcessKeeping(const std::vector<std::string>& argv, int keepOpen);

// Sends `signal` and reaps the process.
void stopProcess(pid_t pid, int signal);

}  // namespace tessevar::testing
