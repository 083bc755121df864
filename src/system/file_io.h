#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "util/result.h"

namespace tessevar {

// The whole content of a file, or why it cannot be had: it cannot be opened
// or read, or it holds more than `limit` bytes (read no further, so a huge
// file costs no memory).
Result<std::string> readWholeFile(const std::filesystem::path& path, std::size_t limit = SIZE_MAX);

// The file a path names once every symlink on it is followed (the link's
// target may be missing); the path itself when it is no link. Nothing for a
// loop of links or a link that cannot be read.
std::optional<std::filesystem::path> followLinks(std::filesystem::path path);

// What a write does when the path is a symlink.
enum class AtLink {
  replaceTarget,  // the file the link names gets the content; the link stays
  replaceLink,    // the link itself is replaced by the file, never followed
};

// Replaces the file's whole content, or leaves the former file untouched:
// the bytes go to a temporary file beside the file, which is then renamed
// over it. Where files have permission bits, the new file gets the former
// file's, with read and write for the owner added (a file its owner cannot
// read would be asked for again at every start), or 0644 when it is new.
Result<void> writeFileAtomically(const std::filesystem::path& path, std::string_view bytes,
                                 AtLink atLink = AtLink::replaceTarget);

enum class Backup { nothingToKeep, kept };

// Copies the present content of `file` (through symlinks) to `backup`,
// replacing a former backup whole; the copy keeps the file's permissions,
// with read and write for the owner. A link named `backup` is replaced, never
// followed, so the copy cannot land in a file elsewhere. A file its owner
// cannot read is first made readable (it is about to be replaced). Nothing
// to keep when `file` is missing or no regular file.
Result<Backup> keepPreviousContent(const std::filesystem::path& file, const std::filesystem::path& backup);

}  // namespace tessevar
