#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace tessevar {

// The whole content of a file, or nothing when it cannot be opened or read.
std::optional<std::string> readWholeFile(const std::filesystem::path& path);

// Replaces the file's whole content, or leaves the former file untouched:
// the bytes go to a temporary file in the same folder, which is then renamed
// over the target. A new file gets mode 0644, a replaced one keeps its mode.
bool writeFileAtomically(const std::filesystem::path& path, std::string_view bytes);

}  // namespace tessevar
