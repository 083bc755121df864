#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace tessevar::testing {

// Starts argv[0] (looked up in PATH when it has no slash) with stdout and
// stderr going to /dev/null; -1 when it cannot be started.
pid_t spawnProcess(const std::vector<std::string>& argv);

// The descriptor number under which spawnProcessPassing hands its extra
// descriptor to the child.
inline constexpr int passedDescriptor = 3;

// Starts it with `descriptor` open in the child as `passedDescriptor`; the
// caller's own copy stays close-on-exec, so no other child can inherit it.
pid_t spawnProcessPassing(const std::vector<std::string>& argv, int descriptor);

// Starts it with stdout and stderr appended to the file `log`.
pid_t spawnProcessLogging(const std::vector<std::string>& argv, const std::string& log);

// Sends `signal` and reaps the process.
void stopProcess(pid_t pid, int signal);

}  // namespace tessevar::testing
