#pragma once

#include <sys/types.h>

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace tessevar {

// The whole content of a file, or nothing when it cannot be opened or read.
std::optional<std::string> readWholeFile(const std::filesystem::path& path);

// The file a path names once every symlink on it is followed (the link's
// target may be missing); the path itself when it is no link. Nothing for a
// loop of links or a link that cannot be read.
std::optional<std::filesystem::path> followLinks(std::filesystem::path path);

// The mode a replacement of `file` gets: the former mode with read and write
// for the owner added (a file its owner cannot read would be asked for again
// at every start), or 0644 for a new file.
mode_t replacementMode(const std::filesystem::path& file);

// Replaces the file's whole content, or leaves the former file untouched:
// the bytes go to a temporary file beside the file (the target of a symlink,
// so the link stays), which is then renamed over it. The new file gets
// `mode`, or replacementMode() when none is given.
bool writeFileAtomically(const std::filesystem::path& path, std::string_view bytes,
                         std::optional<mode_t> mode = std::nullopt);

}  // namespace tessevar
