#include "config/file_io.h"

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

mode_t modeForReplacement(const std::filesystem::path& path) {
  struct stat existing {};
  if (::stat(path.c_str(), &existing) == 0) return existing.st_mode & 07777;
  return 0644;
}

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

bool writeFileAtomically(const std::filesystem::path& path, std::string_view bytes) {
  std::string pattern = path.string() + ".XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  // Close-on-exec from the start: commands may be spawned on other threads.
  FileDescriptor temporary(::mkostemp(name.data(), O_CLOEXEC));
  if (temporary.get() < 0) return false;
  const bool written = fillTemporary(temporary.get(), bytes, modeForReplacement(path));
  if (temporary.close() && written && ::rename(name.data(), path.c_str()) == 0) return true;
  ::unlink(name.data());
  return false;
}

}  // namespace tessevar
