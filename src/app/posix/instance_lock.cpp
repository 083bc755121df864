#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/process_guards.h"
#include "config/system_lookups.h"

namespace tessevar {

namespace {

namespace fs = std::filesystem;

// A folder only this user can write: a real folder, the user's own,
// writable by nobody else. Nobody can then plant a file or link in it.
Result<void> privateFolder(const fs::path& folder) {
  struct stat status {};
  if (lstat(folder.c_str(), &status) != 0) return systemFailure("cannot use " + folder.string());
  if (!S_ISDIR(status.st_mode)) return Failure{folder.string() + " is not a folder"};
  if (status.st_uid != getuid()) return Failure{folder.string() + " belongs to another user"};
  if ((status.st_mode & (S_IWGRP | S_IWOTH)) != 0) return Failure{folder.string() + " can be written by other users"};
  return {};
}

// The runtime folder when the session has one; else tessevar/ in the user's
// state folder, made private: a path under the home, which no other user
// can create first.
Result<fs::path> lockFolder() {
  if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime != nullptr && runtime[0] != '\0') {
    if (Result<void> usable = privateFolder(runtime); !usable) return Failure{usable.reason()};
    return fs::path(runtime);
  }
  const std::optional<fs::path> home = homeFolder();
  if (!home) return Failure{"the home folder is not known"};
  const char* state = std::getenv("XDG_STATE_HOME");
  const fs::path base = state != nullptr && state[0] == '/' ? fs::path(state) : *home / ".local" / "state";
  std::error_code ignored;
  fs::create_directories(base, ignored);
  const fs::path folder = base / "tessevar";
  if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return systemFailure("cannot make " + folder.string());
  if (Result<void> usable = privateFolder(folder); !usable) return Failure{usable.reason()};
  return folder;
}

long pidIn(int descriptor) {
  char text[32] = {};
  const ssize_t length = pread(descriptor, text, sizeof text - 1, 0);
  return length > 0 ? std::strtol(text, nullptr, 10) : 0;
}

Failure cannotOpen(const fs::path& file) {
  if (errno == ELOOP) return {file.string() + " is a symbolic link"};
  if (errno == EISDIR) return {file.string() + " is a folder"};
  return systemFailure("cannot open " + file.string());
}

}  // namespace

InstanceLock::~InstanceLock() {
  if (handle_ >= 0) close(static_cast<int>(handle_));
}

Result<InstanceLock> takeInstanceLock() {
  const Result<fs::path> folder = lockFolder();
  if (!folder) return Failure{folder.reason()};
  const fs::path file = *folder / "tessevar.lock";
  const int descriptor = open(file.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (descriptor < 0) return cannotOpen(file);
  if (flock(descriptor, LOCK_EX | LOCK_NB) != 0) {
    const int error = errno;
    if (error != EWOULDBLOCK) {
      close(descriptor);
      return systemFailure("cannot lock " + file.string(), error);
    }
    InstanceLock held = heldByAnotherCopy([descriptor] { return pidIn(descriptor); });
    close(descriptor);
    return held;
  }
  const std::string pid = std::to_string(getpid()) + "\n";
  if (ftruncate(descriptor, 0) == 0) {
    [[maybe_unused]] const ssize_t written = pwrite(descriptor, pid.data(), pid.size(), 0);
  }
  return InstanceLock(descriptor, 0);
}

}  // namespace tessevar
