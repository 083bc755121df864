#include "support/child_process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace tessevar::testing {
namespace {

pid_t spawn(const std::vector<std::string>& argv, int descriptor, const char* output = "/dev/null") {
  std::vector<char*> args;
  for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, output, O_WRONLY | O_CREAT | O_APPEND, 0600);
  posix_spawn_file_actions_adddup2(&actions, 1, 2);
  // dup2 in the child gives the copy no close-on-exec flag. Clearing the
  // flag on the parent's descriptor instead would let a child spawned by
  // another thread meanwhile inherit it and hold the pipe open.
  if (descriptor == passedDescriptor) {
    const int spare = passedDescriptor + 1;
    posix_spawn_file_actions_adddup2(&actions, descriptor, spare);
    posix_spawn_file_actions_adddup2(&actions, spare, passedDescriptor);
    posix_spawn_file_actions_addclose(&actions, spare);
  } else if (descriptor >= 0) {
    posix_spawn_file_actions_adddup2(&actions, descriptor, passedDescriptor);
  }
  pid_t pid = -1;
  const int failed = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  return failed ? -1 : pid;
}

}  // namespace

pid_t spawnProcess(const std::vector<std::string>& argv) { return spawn(argv, -1); }

pid_t spawnProcessPassing(const std::vector<std::string>& argv, int descriptor) {
  return spawn(argv, descriptor);
}

pid_t spawnProcessLogging(const std::vector<std::string>& argv, const std::string& log) {
  return spawn(argv, -1, log.c_str());
}

void stopProcess(pid_t pid, int signal) {
  if (pid <= 0) return;
  kill(pid, signal);
  int status = 0;
  waitpid(pid, &status, 0);
}

}  // namespace tessevar::testing
