#include "platform/window_manager.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <signal.h>
#include <sys/wait.h>

#include <chrono>
#include <thread>

#include "support/child_process.h"

namespace tessevar::testing {
namespace {

bool announced(Display* display) {
  const Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", False);
  Atom type = None;
  int format = 0;
  unsigned long count = 0;
  unsigned long remaining = 0;
  unsigned char* data = nullptr;
  const bool found = XGetWindowProperty(display, DefaultRootWindow(display), check, 0, 1, False,
                                        XA_WINDOW, &type, &format, &count, &remaining,
                                        &data) == Success &&
                     type == XA_WINDOW && count == 1;
  if (data != nullptr) XFree(data);
  return found;
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
  const pid_t pid =
      spawnProcess({"env", "DISPLAY=" + display, "openbox", "--sm-disable"});
  // A deadline only so a broken install cannot hang the suite.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  bool up = false;
  bool gone = pid <= 0;
  while (!gone && !(up = announced(probe)) && std::chrono::steady_clock::now() < deadline) {
    gone = exited(pid);
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  XCloseDisplay(probe);
  if (up) return std::unique_ptr<WindowManager>(new WindowManager(pid));
  problem = "openbox did not come up (scripts/install-deps installs it)";
  if (!gone) stopProcess(pid, SIGKILL);
  return nullptr;
}

WindowManager::~WindowManager() { stopProcess(pid_, SIGTERM); }

}  // namespace tessevar::testing
