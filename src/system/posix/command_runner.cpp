#include "system/command_runner.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <mutex>

#include "util/utf8.h"

extern char** environ;

namespace tessevar {

namespace {

// Held around every spawn, and while a pipe exists without close-on-exec,
// so that no command started on another thread inherits our descriptors.
std::mutex spawning;

// Commands whose output ended before they exited; collected by later calls.
std::mutex unreaped;
std::vector<pid_t> stillRunning;

// True once the child is collected (or is no child of ours).
bool collected(pid_t child) {
  for (;;) {
    const pid_t result = ::waitpid(child, nullptr, WNOHANG);
    if (result == child) return true;
    if (result == 0) return false;
    if (errno != EINTR) return true;
  }
}

void collectExited(pid_t newest) {
  std::lock_guard lock(unreaped);
  std::erase_if(stillRunning, collected);
  if (!collected(newest)) stillRunning.push_back(newest);
}

// pipe2 is not on macOS: the flags come a moment later, under the lock.
bool openCloexecPipe(int (&ends)[2]) {
  std::lock_guard lock(spawning);
  if (::pipe(ends) != 0) return false;
  ::fcntl(ends[0], F_SETFD, FD_CLOEXEC);
  ::fcntl(ends[1], F_SETFD, FD_CLOEXEC);
  return true;
}

std::vector<char*> argumentVector(std::vector<std::string>& words) {
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  return argv;
}

// Starts the program with its standard output on `outputEnd`.
Result<pid_t> spawnWithOutput(const std::string& launchPath, const std::vector<std::string>& args, int outputEnd) {
  std::vector<std::string> words{launchPath};
  words.insert(words.end(), args.begin(), args.end());
  std::vector<char*> argv = argumentVector(words);
  posix_spawn_file_actions_t actions;
  if (posix_spawn_file_actions_init(&actions) != 0) return systemFailure("cannot start " + launchPath);
  pid_t pid = 0;
  int result = posix_spawn_file_actions_adddup2(&actions, outputEnd, STDOUT_FILENO);
  if (result == 0) {
    std::lock_guard lock(spawning);
    result = posix_spawn(&pid, launchPath.c_str(), &actions, nullptr, argv.data(), environ);
  }
  posix_spawn_file_actions_destroy(&actions);
  if (result != 0) return systemFailure("cannot start " + launchPath, result);
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

Result<std::string> runCommand(const std::string& launchPath, const std::vector<std::string>& args) {
  if (launchPath.empty()) return Failure{"no program to start"};
  int ends[2];
  if (!openCloexecPipe(ends)) return systemFailure("cannot start " + launchPath);
  const Result<pid_t> pid = spawnWithOutput(launchPath, args, ends[1]);
  ::close(ends[1]);  // the child holds its own copy; ours would keep the end of output away
  if (!pid) {
    ::close(ends[0]);
    return Failure{pid.reason()};
  }
  std::string output = readToEnd(ends[0]);
  ::close(ends[0]);
  collectExited(*pid);
  return decodeUtf8Lossy(output);
}

}  // namespace tessevar
