#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "util/result.h"

namespace tessevar {

// The full path of a system tool, from "/usr/bin/whereis NAME".
Result<std::string> locateTool(const std::string& name);

// The tool path in whereis output: the trimmed output itself (a bare path),
// or, for "NAME: /path ...", the first word after the colon. Nothing when
// no path is given.
std::optional<std::string> toolPathFromWhereis(std::string_view output, std::string_view name);

}  // namespace tessevar
