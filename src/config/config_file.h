#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "config/configuration.h"

namespace tessevar {

inline constexpr std::string_view configFileName = "Tessevar.cfg";

// The values from the decoded file text, split at every "-"; pieces after
// the third are ignored. Nothing when there are fewer than three pieces.
std::optional<Configuration> parseConfiguration(std::string_view text);

// The file content: each value followed by "-", no line end.
std::string formatConfiguration(const Configuration& values);

}  // namespace tessevar
