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

// Linux gives up on the same number of links in a path.
constexpr int maxLinkHops = 40;

// Writes the temporary file completely and durably; false on any failure.
bool fillTemporary(int fd, std::string_view bytes, mode_t mode) {
  return ::fchmod(fd, mode) == 0 && writeAll(fd, bytes) && ::fsync(fd) == 0;
}

}  // namespace

std::optional<std::string> readWholeFile(const std::filesystem::path& path) {
  FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (file.get() < 0) return std::nullopt;
  std::string content;
  char chunk[8192];
  for (;;) {
    const ssize_t got = ::read(file.get(), chunk, sizeof chunk);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return std::nullopt;  // a folder, or an I/O error
    if (got == 0) return content;
    content.append(chunk, static_cast<std::size_t>(got));
  }
}

std::optional<std::filesystem::path> followLinks(std::filesystem::path path) {
  for (int hop = 0; hop < maxLinkHops; ++hop) {
    std::error_code error;
    if (!std::filesystem::is_symlink(std::filesystem::symlink_status(path, error))) return path;
    const std::filesystem::path target = std::filesystem::read_symlink(path, error);
    if (error) return std::nullopt;
    path = target.is_absolute() ? target : path.parent_path() / target;
  }
  return std::nullopt;
}

mode_t replacementMode(const std::filesystem::path& file) {
  struct stat existing {};
  if (::stat(file.c_str(), &existing) == 0) return (existing.st_mode & 07777) | S_IRUSR | S_IWUSR;
  return 0644;
}

bool writeFileAtomically(const std::filesystem::path& path, std::string_view bytes,
                         std::optional<mode_t> mode) {
  // Through a symlink the target's content is replaced and the link kept.
  const auto target = followLinks(path);
  if (!target) return false;
  std::string pattern = target->string() + ".XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  // Close-on-exec from the start: commands may be spawned on other threads.
  FileDescriptor temporary(::mkostemp(name.data(), O_CLOEXEC));
  if (temporary.get() < 0) return false;
  const bool written = fillTemporary(temporary.get(), bytes, mode.value_or(replacementMode(*target)));
  if (temporary.close() && written && ::rename(name.data(), target->c_str()) == 0) return true;
  ::unlink(name.data());
  return false;
}

}  // namespace tessevar
