#include "support/compositor.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <regex>
#include <thread>
#include <utility>
#include <vector>

#include "support/child_process.h"
#include "support/window_manager.h"

namespace tessevar::testing {
namespace {

using Clock = std::chrono::steady_clock;

// Big enough that mutter does not maximise the editor's window on its own.
constexpr const char* width = "1920";
constexpr const char* height = "1200";

struct Recipe {
  const char* program;
  std::vector<std::string> arguments;
  // The line of its log that names XWayland's display (group 1: ":N").
  const char* displayLine;
};

Recipe recipeFor(CompositorKind kind) {
  if (kind == CompositorKind::weston) {
    // weston runs as root only with its headless backend; its idle timer
    // would blank the output and lock the shell midway through a run.
    return {"weston",
            {"--backend=headless-backend.so", "--xwayland", "--socket=wayland-test", "--idle-time=0",
             std::string("--width=") + width, std::string("--height=") + height},
            "xserver listening on display (:[0-9]+)"};
  }
  return {"mutter",
          {"--headless", "--wayland", "--wayland-display=wayland-test",
           std::string("--virtual-monitor=") + width + "x" + height},
          "Using public X11 display (:[0-9]+)"};
}

// Without reaping it: the destructor reaps it.
bool hasEnded(pid_t pid) {
  siginfo_t info{};
  return waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 && info.si_pid == pid;
}

std::string lastLine(const std::string& text) {
  std::string trimmed = text.substr(0, text.find_last_not_of('\n') + 1);
  return trimmed.substr(trimmed.rfind('\n') + 1);
}

// One line from a descriptor, waiting at most `patience`.
std::string readLine(int fd, std::chrono::seconds patience) {
  const auto deadline = Clock::now() + patience;
  std::string line;
  for (char c = 0; Clock::now() < deadline;) {
    pollfd wait{fd, POLLIN, 0};
    if (poll(&wait, 1, 100) <= 0) continue;
    if (read(fd, &c, 1) != 1 || c == '\n') break;
    line += c;
  }
  return line;
}

}  // namespace

std::string to_string(CompositorKind kind) { return kind == CompositorKind::weston ? "weston" : "mutter"; }

std::unique_ptr<Compositor> Compositor::start(CompositorKind kind, std::string& problem) {
  std::unique_ptr<Compositor> compositor(new Compositor());
  if (!compositor->launch(kind, problem)) return nullptr;
  if (managerReady(compositor->display_, compositor->pid_)) return compositor;
  problem = to_string(kind) + " started XWayland on " + compositor->display_ +
            " but its window manager took no window in";
  return nullptr;
}

bool Compositor::launch(CompositorKind kind, std::string& problem) {
  const Recipe recipe = recipeFor(kind);
  const std::string runtime = runtime_.path().string();
  std::vector<std::string> argv{"env", "XDG_RUNTIME_DIR=" + runtime};
  std::string bus;
  if (kind == CompositorKind::mutter) {
    // GNOME's compositor needs a session bus; a private one.
    if (!startBus(bus)) {
      problem = "dbus-daemon did not start a session bus for mutter (scripts/install-deps test installs it)";
      return false;
    }
    argv.push_back("DBUS_SESSION_BUS_ADDRESS=" + bus);
  }
  argv.push_back(recipe.program);
  argv.insert(argv.end(), recipe.arguments.begin(), recipe.arguments.end());
  const std::filesystem::path log = runtime_.path() / "compositor.log";
  pid_ = spawnProcessLogging(argv, log.string());
  const std::regex displayLine(recipe.displayLine);
  std::smatch found;
  std::string text;
  // A deadline only so a broken install cannot hang the suite.
  for (const auto deadline = Clock::now() + std::chrono::seconds(30); Clock::now() < deadline;) {
    text = readBytes(log);
    if (std::regex_search(text, found, displayLine)) break;
    if (pid_ <= 0 || hasEnded(pid_)) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  if (found.empty()) {
    problem = std::string(recipe.program) + " did not start XWayland" +
              (text.empty() ? std::string() : ": " + lastLine(text)) +
              " (scripts/install-deps test installs it and XWayland)";
    return false;
  }
  display_ = found[1];
  // mutter's XWayland lets in only the clients with its cookie.
  for (const auto& entry : std::filesystem::directory_iterator(runtime_.path())) {
    if (entry.path().filename().string().starts_with(".mutter-Xwaylandauth")) {
      setenv("XAUTHORITY", entry.path().c_str(), 1);
    }
  }
  return true;
}

bool Compositor::startBus(std::string& address) {
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) return false;
  // Its socket in the runtime folder, removed with it.
  busPid_ = spawnProcessPassing({"dbus-daemon", "--session", "--nofork", "--nopidfile",
                                 "--address=unix:path=" + (runtime_.path() / "bus").string(),
                                 "--print-address=" + std::to_string(passedDescriptor)},
                                fds[1]);
  close(fds[1]);
  address = busPid_ > 0 ? readLine(fds[0], std::chrono::seconds(10)) : std::string();
  close(fds[0]);
  return !address.empty();
}

Compositor::~Compositor() {
  // The compositor first, so it can still say goodbye on its bus.
  stopProcess(pid_, SIGTERM);
  stopProcess(busPid_, SIGTERM);
}

Compositor* sharedCompositor(CompositorKind kind, std::string& problem) {
  static std::map<CompositorKind, std::pair<std::unique_ptr<Compositor>, std::string>> started;
  auto [entry, fresh] = started.try_emplace(kind);
  auto& [compositor, why] = entry->second;
  if (fresh) compositor = Compositor::start(kind, why);
  problem = why;
  return compositor.get();
}

}  // namespace tessevar::testing
