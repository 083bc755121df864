#pragma once

#include <filesystem>

#include "util/result.h"

namespace tessevar {

enum class Backup { nothingToKeep, kept };

// Copies the present content of `file` (through symlinks) to `backup`,
// replacing a former backup whole; the copy keeps the file's mode, with
// read and write for the owner. A link named `backup` is replaced, never
// followed, so the copy cannot land in a file elsewhere. A file its owner
// cannot read is first made readable (it is about to be replaced). Nothing
// to keep when `file` is missing or no regular file.
Result<Backup> keepPreviousContent(const std::filesystem::path& file, const std::filesystem::path& backup);

}  // namespace tessevar
