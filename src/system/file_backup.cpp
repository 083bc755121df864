#include "system/file_backup.h"

#include <sys/stat.h>

#include <cerrno>

#include "system/file_io.h"

namespace tessevar {

namespace {

// The content, making the file readable by its owner when it is not.
std::optional<std::string> readEvenIfLocked(const std::filesystem::path& file) {
  if (auto content = readWholeFile(file)) return content;
  if (::chmod(file.c_str(), replacementMode(file)) != 0) return std::nullopt;
  return readWholeFile(file);
}

}  // namespace

BackupResult keepPreviousContent(const std::filesystem::path& file,
                                 const std::filesystem::path& backup) {
  const auto target = followLinks(file);
  if (!target) return BackupResult::failed;
  struct stat existing {};
  if (::stat(target->c_str(), &existing) != 0) {
    return errno == ENOENT ? BackupResult::nothingToKeep : BackupResult::failed;
  }
  if (!S_ISREG(existing.st_mode)) return BackupResult::nothingToKeep;
  const mode_t mode = replacementMode(*target);
  const auto content = readEvenIfLocked(*target);
  if (!content || !writeFileAtomically(backup, *content, mode)) return BackupResult::failed;
  return BackupResult::kept;
}

}  // namespace tessevar
