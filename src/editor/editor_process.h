#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace tessevar {

// The editor's process id from the system's process listing: 0 when no line
// names the editor, nullopt when the listing could not be had.
std::optional<std::int64_t> findEditorProcess();

// The pid of the last listing line that names the editor (0 when none, or
// when that line's first field is not a number).
std::int64_t editorPidFromListing(std::string_view listing);

}  // namespace tessevar
