#include "system/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>
#include <vector>

namespace tessevar {

namespace {

class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  ~FileDescriptor() { close(); }
  int get() const { return fd_; }
  bool close() {
    if (fd_ < 0) return true;
    const bool closed = ::close(fd_) == 0;
    fd_ = -1;
    return closed;
  }

 private:
  int fd_;
};

bool writeAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

// Writes the temporary file completely and durably; false on any failure.
bool fillTemporary(int fd, std::string_view bytes, mode_t mode) {
  return ::fchmod(fd, mode) == 0 && writeAll(fd, bytes) && ::fsync(fd) == 0;
}

Failure tooLarge(const std::filesystem::path& path, int fd, std::size_t limit) {
  struct stat status {};
  const std::string size = ::fstat(fd, &status) == 0 ? std::to_string(status.st_size) + " bytes" : "larger";
  return {path.string() + " is " + size + ", more than the " + std::to_string(limit) + " bytes it may hold"};
}

}  // namespace

Result<std::string> readWholeFile(const std::filesystem::path& path, std::size_t limit) {
  FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (file.get() < 0) return systemFailure("cannot read " + path.string());
  std::string content;
  char chunk[8192];
  for (;;) {
    const ssize_t got = ::read(file.get(), chunk, sizeof chunk);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return systemFailure("cannot read " + path.string());  // a folder, or an I/O error
    if (got == 0) return content;
    if (static_cast<std::size_t>(got) > limit - content.size()) return tooLarge(path, file.get(), limit);
    content.append(chunk, static_cast<std::size_t>(got));
  }
}

namespace {

// The mode a replacement of `file` gets: the former mode with read and write
// for the owner added, or 0644 for a new file.
mode_t replacementMode(const std::filesystem::path& file) {
  struct stat existing {};
  if (::stat(file.c_str(), &existing) == 0) return (existing.st_mode & 07777) | S_IRUSR | S_IWUSR;
  return 0644;
}

// The new file gets `mode`, or replacementMode() when none is given.
Result<void> writeWithMode(const std::filesystem::path& path, std::string_view bytes, std::optional<mode_t> mode,
                           AtLink atLink) {
  const auto target = atLink == AtLink::replaceTarget ? followLinks(path) : path;
  if (!target) return Failure{"cannot write " + path.string() + " (a loop of links, or a link that cannot be read)"};
  std::string pattern = target->string() + ".XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  // Close-on-exec from the start: commands may be spawned on other threads.
  FileDescriptor temporary(::mkostemp(name.data(), O_CLOEXEC));
  if (temporary.get() < 0) return systemFailure("cannot write in " + target->parent_path().string());
  // A link never gives the mode: its target may be anyone's file.
  const mode_t fresh = atLink == AtLink::replaceTarget ? replacementMode(*target) : 0600;
  if (!fillTemporary(temporary.get(), bytes, mode.value_or(fresh))) {
    const Failure failure = systemFailure("cannot write " + target->string());
    ::unlink(name.data());
    return failure;
  }
  if (!temporary.close() || ::rename(name.data(), target->c_str()) != 0) {
    const Failure failure = systemFailure("cannot replace " + target->string());
    ::unlink(name.data());
    return failure;
  }
  return {};
}

// The content, making the file readable by its owner when it is not.
Result<std::string> readEvenIfLocked(const std::filesystem::path& file) {
  if (auto content = readWholeFile(file)) return content;
  if (::chmod(file.c_str(), replacementMode(file)) != 0) return systemFailure("cannot read " + file.string());
  return readWholeFile(file);
}

}  // namespace

Result<void> writeFileAtomically(const std::filesystem::path& path, std::string_view bytes, AtLink atLink) {
  return writeWithMode(path, bytes, std::nullopt, atLink);
}

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
  if (auto written = writeWithMode(backup, *content, mode, AtLink::replaceLink); !written) {
    return Failure{written.reason()};
  }
  return Backup::kept;
}

}  // namespace tessevar
