#include "support/window_manager.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <signal.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <thread>
#include <vector>

#include "support/child_process.h"

namespace tessevar::testing {

std::vector<Window> rootWindows(Display* display, const char* property) {
  Atom type = None;
  int format = 0;
  unsigned long count = 0;
  unsigned long remaining = 0;
  unsigned char* data = nullptr;
  std::vector<Window> windows;
  if (XGetWindowProperty(display, DefaultRootWindow(display), XInternAtom(display, property, False),
                         0, 4096, False, XA_WINDOW, &type, &format, &count, &remaining,
                         &data) == Success &&
      data != nullptr) {
    const long* items = reinterpret_cast<const long*>(data);
    for (unsigned long i = 0; i < count; ++i) windows.push_back(static_cast<Window>(items[i]));
  }
  if (data != nullptr) XFree(data);
  return windows;
}

namespace {

using Clock = std::chrono::steady_clock;

bool listed(Display* display, Window window) {
  const std::vector<Window> clients = rootWindows(display, "_NET_CLIENT_LIST");
  return std::find(clients.begin(), clients.end(), window) != clients.end();
}

// openbox announces itself a little before it takes new windows in: a probe
// window mapped too early stays unmanaged. Ready once a probe is managed.
bool managesNewWindows(Display* display, Clock::time_point deadline) {
  while (Clock::now() < deadline) {
    const Window probe =
        XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 10, 10, 0, 0, 0);
    XMapWindow(display, probe);
    XSync(display, False);
    const auto patience = Clock::now() + std::chrono::milliseconds(300);
    bool managed = false;
    while (!(managed = listed(display, probe)) && Clock::now() < patience) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    XDestroyWindow(display, probe);
    XSync(display, False);
    while (managed && listed(display, probe) && Clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    if (managed) return true;
  }
  return false;
}

bool exited(pid_t pid) { return waitpid(pid, nullptr, WNOHANG) == pid; }

}  // namespace

std::string to_string(WindowManagerKind kind) {
  return kind == WindowManagerKind::openbox ? "openbox" : "none";
}

std::unique_ptr<WindowManager> WindowManager::start(const std::string& display,
                                                    std::string& problem) {
  Display* probe = XOpenDisplay(display.c_str());
  if (probe == nullptr) {
    problem = "cannot open " + display + " to wait for the window manager";
    return nullptr;
  }
  const pid_t pid = spawnProcess({"env", "DISPLAY=" + display, "openbox", "--sm-disable"});
  // A deadline only so a broken install cannot hang the suite.
  const auto deadline = Clock::now() + std::chrono::seconds(20);
  bool announced = false;
  bool gone = pid <= 0;
  while (!gone && !(announced = !rootWindows(probe, "_NET_SUPPORTING_WM_CHECK").empty()) &&
         Clock::now() < deadline) {
    gone = exited(pid);
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  const bool up = announced && managesNewWindows(probe, deadline);
  XCloseDisplay(probe);
  if (up) return std::unique_ptr<WindowManager>(new WindowManager(pid));
  problem = "openbox did not come up (scripts/install-deps installs it)";
  if (!gone) stopProcess(pid, SIGKILL);
  return nullptr;
}

WindowManager::~WindowManager() { stopProcess(pid_, SIGTERM); }

}  // namespace tessevar::testing
