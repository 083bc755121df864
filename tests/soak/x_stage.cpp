#include "soak/x_stage.h"

#include <X11/Xlib.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "support/child_process.h"

namespace tessevar::soak {
namespace {

using namespace std::chrono_literals;

// Bounds only, so a broken machine cannot hang the soak.
constexpr auto serverPatience = 30s;
constexpr auto windowManagerPatience = 15s;

// The display number Xvfb writes once it accepts clients, "" if none came.
std::string readLine(int fd) {
  std::string text;
  const auto deadline = std::chrono::steady_clock::now() + serverPatience;
  while (std::chrono::steady_clock::now() < deadline) {
    pollfd wait{fd, POLLIN, 0};
    if (poll(&wait, 1, 100) <= 0) continue;
    char c = 0;
    if (read(fd, &c, 1) != 1) return {};
    if (c == '\n') return text;
    text += c;
  }
  return {};
}

// Whether openbox has finished starting: it names the desktops last.
bool windowManagerReady(Display* x) {
  const Atom check = XInternAtom(x, "_NET_DESKTOP_NAMES", True);
  bool found = false;
  if (check != None) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(x, DefaultRootWindow(x), check, 0, 1, False, AnyPropertyType, &type, &format, &count,
                           &after, &data) == Success) {
      found = count > 0;
    }
    if (data != nullptr) XFree(data);
  }
  return found;
}

// A connection of the soak's own for as long as the server lives: an X
// server resets when its last client leaves, and a client connecting
// during the reset is turned away.
Display* holdServer(const std::string& display) {
  const auto deadline = std::chrono::steady_clock::now() + serverPatience;
  while (std::chrono::steady_clock::now() < deadline) {
    if (Display* x = XOpenDisplay(display.c_str())) return x;
    std::this_thread::sleep_for(20ms);
  }
  return nullptr;
}

}  // namespace

XStage::~XStage() {
  if (hold_ != nullptr) XCloseDisplay(hold_);
  editors_.clear();
  testing::stopProcess(windowManager_, SIGTERM);
  testing::stopProcess(laterServer_, SIGTERM);  // politely, so it removes its lock file
}

bool XStage::start(std::string& problem) {
  firstServer_ = testing::XvfbServer::start(problem);
  if (!firstServer_) return false;
  display_ = firstServer_->display();
  hold_ = holdServer(display_);
  if (hold_ == nullptr) {
    problem = "Xvfb on " + display_ + " accepts no clients";
    return false;
  }
  return startEditor(problem) && startWindowManager(problem);
}

bool XStage::startServerAgain(std::string& problem) {
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) {
    problem = "no pipe for Xvfb";
    return false;
  }
  laterServer_ = testing::spawnProcessKeeping({"Xvfb", display_, "-screen", "0", "2560x1600x24", "-nolisten", "tcp",
                                               "-displayfd", std::to_string(fds[1])},
                                              fds[1]);
  close(fds[1]);
  const bool up = laterServer_ > 0 && !readLine(fds[0]).empty() && (hold_ = holdServer(display_)) != nullptr;
  close(fds[0]);
  if (!up) problem = "Xvfb did not start again on " + display_;
  return up;
}

bool XStage::startWindowManager(std::string& problem) {
  windowManager_ = testing::spawnProcess({"env", "DISPLAY=" + display_, "openbox", "--sm-disable"});
  const auto deadline = std::chrono::steady_clock::now() + windowManagerPatience;
  while (std::chrono::steady_clock::now() < deadline) {
    if (windowManagerReady(hold_)) return true;
    int status = 0;
    if (waitpid(windowManager_, &status, WNOHANG) == windowManager_) {
      windowManager_ = -1;
      problem = "openbox ended on " + display_ + " with status " + std::to_string(status);
      return false;
    }
    std::this_thread::sleep_for(50ms);
  }
  problem = "openbox did not come up on " + display_ + " (scripts/install-deps installs it)";
  return false;
}

bool XStage::startEditor(std::string& problem) {
  const std::vector<std::string> geometry{"--geometry", "1154x734+100+50"};
  editors_.push_back(std::make_unique<testing::EditorUnderTest>(testing::testEditorProgram(), display_, geometry));
  if (editors_.back()->ready()) return true;
  problem = "the test editor did not come up on " + display_;
  return false;
}

bool XStage::restartEditor(std::string& problem) {
  editor().quit();
  return startEditor(problem);
}

bool XStage::restartServer(std::string& problem) {
  // Closed while the server still answers: Xlib ends a process whose
  // connection breaks under it.
  XCloseDisplay(hold_);
  hold_ = nullptr;
  if (firstServer_) {
    firstServer_->kill();
    firstServer_.reset();
  } else {
    testing::stopProcess(laterServer_, SIGKILL);
  }
  // Both lose their connection and end; reap them.
  editor().quit();
  testing::stopProcess(windowManager_, SIGKILL);
  windowManager_ = -1;
  return startServerAgain(problem) && startEditor(problem) && startWindowManager(problem);
}

EditorInput inputOf(const testing::EditorUnderTest& editor) {
  EditorInput input;
  for (const std::string& line : editor.lines()) {
    if (line.rfind("button", 0) == 0) ++input.clicks;
    if (line.rfind("key", 0) == 0) ++input.keys;
  }
  return input;
}

}  // namespace tessevar::soak
