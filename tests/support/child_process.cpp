#include "support/child_process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace tessevar::testing {

pid_t spawnProcessKeeping(const std::vector<std::string>& argv, int keepOpen) {
  std::vector<char*> args;
  for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  if (keepOpen >= 0) {
    // Clears close-on-exec on the child's copy only.
    fcntl(keepOpen, F_SETFD, 0);
  }
  pid_t pid = -1;
  const int failed = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (keepOpen >= 0) fcntl(keepOpen, F_SETFD, FD_CLOEXEC);
  return failed ? -1 : pid;
}

pid_t spawnProcess(const std::vector<std::string>& argv) { return spawnProcessKeeping(argv, -1); }

void stopProcess(pid_t pid, int signal) {
  if (pid <= 0) return;
  kill(pid, signal);
  int status = 0;
  waitpid(pid, &status, 0);
}

}  // namespace tessevar::testing
