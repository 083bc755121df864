#include "system/file_backup.h"

#include <sys/stat.h>

#include <cerrno>

#include "system/file_io.h"

namespace tessevar {

namespace {

// The content, making the file readable by its owner when it is not.
Result<std::string> readEvenIfLocked(const std::filesystem::path& file) {
  if (auto content = readWholeFile(file)) return content;
  if (::chmod(file.c_str(), replacementMode(file)) != 0) return systemFailure("cannot read " + file.string());
  return readWholeFile(file);
}

}  // namespace

Result<Backup> keepPreviousContent(const std::filesystem::path& file, const std::filesystem::path& backup) {
  const auto target = followLinks(file);
  if (!target) return Failure{"cannot follow the links of " + file.string()};
  struct stat existing {};
  if (::stat(target->c_str(), &existing) != 0) {
    if (errno == ENOENT) return Backup::nothingToKeep;
    return systemFailure("cannot read " + target->string());
  }
  if (!S_ISREG(existing.st_mode)) return Backup::nothingToKeep;
  const mode_t mode = replacementMode(*target);
  const auto content = readEvenIfLocked(*target);
  if (!content) return Failure{content.reason()};
  if (auto written = writeFileAtomically(backup, *content, mode, AtLink::replaceLink); !written) {
    return Failure{written.reason()};
  }
  return Backup::kept;
}

}  // namespace tessevar
