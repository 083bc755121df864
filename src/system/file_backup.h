#pragma once

#include <filesystem>

namespace tessevar {

enum class BackupResult { nothingToKeep, kept, failed };

// Copies the present content of `file` (through symlinks) to `backup`,
// replacing a former backup whole; the copy keeps the file's mode, with
// read and write for the owner. A file its owner cannot read is first made
// readable (it is about to be replaced). Nothing to keep when `file` is
// missing or no regular file.
BackupResult keepPreviousContent(const std::filesystem::path& file,
                                 const std::filesystem::path& backup);

}  // namespace tessevar
