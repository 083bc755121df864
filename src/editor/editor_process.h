#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "util/result.h"

namespace tessevar {

// The editor's process id from the system's process listing: 0 when no line
// names the editor; fails when the listing could not be had.
Result<std::int64_t> findEditorProcess();

// The pid of the last listing line that names the editor (0 when none, or
// when that line's first field is not a number).
std::int64_t editorPidFromListing(std::string_view listing);

}  // namespace tessevar
