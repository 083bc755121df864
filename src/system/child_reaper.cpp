#include "system/child_reaper.h"

#include <sys/wait.h>

#include <cerrno>
#include <system_error>
#include <thread>

namespace tessevar {

namespace {

// True once the child is collected (or is no child of ours to collect).
bool collect(pid_t child, int options) {
  for (;;) {
    const pid_t result = ::waitpid(child, nullptr, options);
    if (result == child) return true;
    if (result == 0) return false;  // still running
    if (errno != EINTR) return true;
  }
}

}  // namespace

void reapWithoutWaiting(pid_t child) {
  // Output usually ends as the child exits: most are collected right here.
  if (collect(child, WNOHANG)) return;
  try {
    std::thread([child] { collect(child, 0); }).detach();
  } catch (const std::system_error&) {
    collect(child, 0);  // no thread to be had: wait here rather than leave a zombie
  }
}

}  // namespace tessevar
