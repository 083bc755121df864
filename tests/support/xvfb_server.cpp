#include "support/xvfb_server.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <random>
#include <tuple>
#include <utility>

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

// Starts Xvfb on `display` and waits until it accepts clients; the pid and
// the display number, pid 0 when it did not come up, -1 when it cannot start.
std::pair<pid_t, std::string> launch(const std::string& display) {
  int fds[2];
  // No other child may hold the pipe open, or the end of Xvfb would go unseen.
  if (pipe2(fds, O_CLOEXEC) != 0) return {-1, {}};
  const std::vector<std::string> argv{"Xvfb", display, "-screen", "0", "2560x1600x24", "-nolisten", "tcp",
                                        "-displayfd", std::to_string(passedDescriptor)};
  const pid_t pid = spawnProcessPassing(argv, fds[1]);
  close(fds[1]);
  std::string number = pid > 0 ? readDisplayNumber(fds[0]) : std::string();
  close(fds[0]);
  if (pid > 0 && number.empty()) {
    stopProcess(pid, SIGKILL);
    return {0, {}};
  }
  return {pid, number};
}

}  // namespace

std::unique_ptr<XvfbServer> XvfbServer::start(std::string& problem) {
  // A number drawn at random rather than the lowest free one: a server
  // restarted on its number must not find it taken by one that a parallel
  // test started in between. Xvfb gives up on a number in use; the next is tried.
  const int first = 100 + static_cast<int>(std::random_device{}() % 800);
  pid_t pid = 0;
  std::string number;
  for (int display = first; pid == 0 && display < first + 8; ++display) {
    std::tie(pid, number) = launch(":" + std::to_string(display));
  }
  if (pid < 0) {
    problem = "Xvfb is not installed (scripts/install-deps installs it)";
    return nullptr;
  }
  if (pid == 0) {
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

bool XvfbServer::restart() {
  kill();
  // The killed server left its lock file and socket; Xvfb clears stale ones.
  pid_ = launch(display_).first;
  return pid_ > 0;
}

}  // namespace tessevar::testing
