#include "system/command_runner.h"

#include <spawn.h>
#include <unistd.h>

#include <cerrno>

#include "system/child_reaper.h"
#include "system/cloexec_pipe.h"
#include "system/spawn_lock.h"
#include "util/utf8.h"

extern char** environ;

namespace tessevar {

namespace {

std::vector<char*> argumentVector(std::vector<std::string>& words) {
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  return argv;
}

// Starts the program with its standard output on `outputEnd`; the pid, or
// nothing when it could not be started.
std::optional<pid_t> spawnWithOutput(const std::string& launchPath,
                                     const std::vector<std::string>& args, int outputEnd) {
  std::vector<std::string> words{launchPath};
  words.insert(words.end(), args.begin(), args.end());
  std::vector<char*> argv = argumentVector(words);
  posix_spawn_file_actions_t actions;
  if (posix_spawn_file_actions_init(&actions) != 0) return std::nullopt;
  pid_t pid = 0;
  int result = posix_spawn_file_actions_adddup2(&actions, outputEnd, STDOUT_FILENO);
  if (result == 0) {
    std::lock_guard lock(spawnLock());
    result = posix_spawn(&pid, launchPath.c_str(), &actions, nullptr, argv.data(), environ);
  }
  posix_spawn_file_actions_destroy(&actions);
  if (result != 0) return std::nullopt;
  return pid;
}

std::string readToEnd(int fd) {
  std::string bytes;
  char chunk[16384];
  for (;;) {
    const ssize_t got = ::read(fd, chunk, sizeof chunk);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return bytes;
    bytes.append(chunk, static_cast<std::size_t>(got));
  }
}

}  // namespace

std::optional<std::string> runCommand(const std::string& launchPath,
                                      const std::vector<std::string>& args) {
  if (launchPath.empty()) return std::nullopt;
  int ends[2];
  if (!openCloexecPipe(ends)) return std::nullopt;
  const auto pid = spawnWithOutput(launchPath, args, ends[1]);
  ::close(ends[1]);  // the child holds its own copy; ours would keep EOF away
  if (!pid) {
    ::close(ends[0]);
    return std::nullopt;
  }
  std::string output = readToEnd(ends[0]);
  ::close(ends[0]);
  // The output is all the caller needs; the child may outlive it.
  reapWithoutWaiting(*pid);
  return decodeUtf8Lossy(output);
}

}  // namespace tessevar
