#pragma once

#include <string>
#include <vector>

#include "score.h"
#include "show.h"

namespace tessevar::sim {

// The figures of one direction as printed lines, `from` naming the sender;
// times are given in seconds since `origin`.
std::vector<std::string> describe(const DirectionSummary& summary, Side from, Clock::time_point origin);

// "0.123 s", or "never" for a recovery that did not happen.
std::string describe(const Recovery& recovery);

}  // namespace tessevar::sim
