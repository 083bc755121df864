#pragma once

#include <ctime>

namespace tessevar {

// The local calendar time of `seconds`, safe to call from any thread.
std::tm localTime(std::time_t seconds);

}  // namespace tessevar
