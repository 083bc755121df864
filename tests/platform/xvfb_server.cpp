#include "platform/xvfb_server.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include "support/child_process.h"

namespace tessevar::testing {
namespace {

// Xvfb writes the display number and a newline once it accepts clients.
std::string readDisplayNumber(int fd) {
  std::string number;
  for (;;) {
    pollfd wait{fd, POLLIN, 0};
    if (poll(&wait, 1, 30000) <= 0) return {};
    char c = 0;
    if (read(fd, &c, 1) != 1) return {};
    if (c == '\n') return number;
    number += c;
  }
}

}  // namespace

std::unique_ptr<XvfbServer> XvfbServer::start(std::string& problem) {
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) {
    problem = "cannot make a pipe for Xvfb";
    return nullptr;
  }
  const pid_t pid = spawnProcessKeeping({"Xvfb", "-screen", "0", "2560x1600x24", "-nolisten",
                                         "tcp", "-displayfd", std::to_string(fds[1])},
                                        fds[1]);
  close(fds[1]);
  const std::string number = pid > 0 ? readDisplayNumber(fds[0]) : std::string();
  close(fds[0]);
  if (pid <= 0) {
    problem = "Xvfb is not installed (scripts/install-deps installs it)";
    return nullptr;
  }
  if (number.empty()) {
    stopProcess(pid, SIGKILL);
    problem = "Xvfb did not start";
    return nullptr;
  }
  return std::unique_ptr<XvfbServer>(new XvfbServer(pid, ":" + number));
}

XvfbServer::~XvfbServer() {
  // A polite end lets Xvfb remove its lock file and socket.
  stopProcess(pid_, SIGTERM);
}

void XvfbServer::kill() {
  stopProcess(pid_, SIGKILL);
  pid_ = -1;
}

}  // namespace tessevar::testing
