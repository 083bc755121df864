#include "app/instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

namespace tessevar {

namespace {

std::string lockPath() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  struct stat folder {};
  if (runtime != nullptr && *runtime == '/' && stat(runtime, &folder) == 0 && S_ISDIR(folder.st_mode)) {
    return std::string(runtime) + "/tessevar.lock";
  }
  return "/tmp/tessevar-" + std::to_string(getuid()) + ".lock";
}

long pidIn(int descriptor) {
  char text[32] = {};
  const ssize_t length = pread(descriptor, text, sizeof text - 1, 0);
  return length > 0 ? std::strtol(text, nullptr, 10) : 0;
}

}  // namespace

std::optional<long> takeInstanceLock() {
  // Not following links: in /tmp another user could have placed one.
  const int descriptor = open(lockPath().c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (descriptor < 0) return std::nullopt;
  if (flock(descriptor, LOCK_EX | LOCK_NB) != 0) {
    const bool held = errno == EWOULDBLOCK;
    const long holder = held ? pidIn(descriptor) : 0;  // 0: locked a moment ago, pid not written yet
    close(descriptor);
    if (held) return holder;
    return std::nullopt;
  }
  // Kept open, and so locked, until the process ends.
  const std::string pid = std::to_string(getpid()) + "\n";
  if (ftruncate(descriptor, 0) == 0) {
    [[maybe_unused]] const ssize_t written = pwrite(descriptor, pid.data(), pid.size(), 0);
  }
  return std::nullopt;
}

}  // namespace tessevar
