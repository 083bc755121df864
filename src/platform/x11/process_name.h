#pragma once

#include <optional>
#include <string>

namespace tessevar {

// The kernel's name of a running process (/proc/PID/comm), if it exists.
std::optional<std::string> processName(long pid);

}  // namespace tessevar
