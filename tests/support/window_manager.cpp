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

std::vector<long> propertyValues(Display* display, Window window, const char* property, Atom type) {
  Atom actualType = None;
  int format = 0;
  unsigned long count = 0;
  unsigned long remaining = 0;
  unsigned char* data = nullptr;
  std::vector<long> values;
  if (XGetWindowProperty(display, window, XInternAtom(display, property, False), 0, 4096, False, type,
                         &actualType, &format, &count, &remaining, &data) == Success &&
      data != nullptr && format == 32) {
    const long* items = reinterpret_cast<const long*>(data);
    values.assign(items, items + count);
  }
  if (data != nullptr) XFree(data);
  return values;
}

std::vector<Window> rootWindows(Display* display, const char* property) {
  const std::vector<long> values = propertyValues(display, DefaultRootWindow(display), property, XA_WINDOW);
  return {values.begin(), values.end()};
}

bool carriesWmState(Display* display, Window window) {
  Atom type = None;
  int format = 0;
  unsigned long count = 0;
  unsigned long remaining = 0;
  unsigned char* data = nullptr;
  const Atom wmState = XInternAtom(display, "WM_STATE", False);
  const int status = XGetWindowProperty(display, window, wmState, 0, 0, False, AnyPropertyType, &type,
                                        &format, &count, &remaining, &data);
  if (data != nullptr) XFree(data);
  return status == Success && type != None;
}

namespace {

using Clock = std::chrono::steady_clock;

bool listed(Display* display, Window window) {
  const std::vector<Window> clients = rootWindows(display, "_NET_CLIENT_LIST");
  return std::find(clients.begin(), clients.end(), window) != clients.end();
}

// A manager announces itself a little before it takes new windows in: a
// probe window mapped too early stays unmanaged. Ready once a probe is
// managed, which every manager marks with WM_STATE.
bool managesNewWindows(Display* display, Clock::time_point deadline) {
  while (Clock::now() < deadline) {
    const Window probe =
        XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 10, 10, 0, 0, 0);
    XMapWindow(display, probe);
    XSync(display, False);
    const auto patience = Clock::now() + std::chrono::milliseconds(300);
    bool managed = false;
    while (!(managed = carriesWmState(display, probe)) && Clock::now() < patience) {
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

// Without reaping it: whoever started it reaps it when stopping it.
bool exited(pid_t pid) {
  siginfo_t info{};
  return waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 && info.si_pid == pid;
}

}  // namespace

std::string to_string(WindowManagerKind kind) {
  return kind == WindowManagerKind::openbox ? "openbox" : "none";
}

bool managerReady(const std::string& display, pid_t pid) {
  Display* probe = XOpenDisplay(display.c_str());
  if (probe == nullptr) return false;
  // A deadline only so a broken install cannot hang the suite.
  const auto deadline = Clock::now() + std::chrono::seconds(30);
  bool announced = false;
  while (!exited(pid) && !(announced = !rootWindows(probe, "_NET_SUPPORTING_WM_CHECK").empty()) &&
         Clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  const bool up = announced && managesNewWindows(probe, deadline);
  XCloseDisplay(probe);
  return up;
}

std::unique_ptr<WindowManager> WindowManager::start(const std::string& display,
                                                    std::string& problem) {
  const pid_t pid = spawnProcess({"env", "DISPLAY=" + display, "openbox", "--sm-disable"});
  if (pid > 0 && managerReady(display, pid)) return std::unique_ptr<WindowManager>(new WindowManager(pid));
  problem = "openbox did not come up on " + display + " (scripts/install-deps installs it)";
  stopProcess(pid, SIGKILL);
  return nullptr;
}

WindowManager::~WindowManager() { stopProcess(pid_, SIGTERM); }

}  // namespace tessevar::testing
