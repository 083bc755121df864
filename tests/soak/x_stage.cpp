#include "soak/x_stage.h"

#include <X11/Xlib.h>

#include <chrono>
#include <thread>

namespace tessevar::soak {
namespace {

using namespace std::chrono_literals;

// A connection of the soak's own for as long as the server lives: an X
// server resets when its last client leaves, and a client connecting
// during the reset is turned away.
Display* holdServer(const std::string& display) {
  // A bound only, so a broken machine cannot hang the soak.
  const auto deadline = std::chrono::steady_clock::now() + 30s;
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
  windowManager_.reset();
  server_.reset();
}

bool XStage::start(std::string& problem) {
  server_ = testing::XvfbServer::start(problem);
  return server_ && startDesktop(problem);
}

// The editor comes before openbox, which takes over windows already shown,
// as at a login where the editor is started with the session.
bool XStage::startDesktop(std::string& problem) {
  hold_ = holdServer(display());
  if (hold_ == nullptr) {
    problem = "Xvfb on " + display() + " accepts no clients";
    return false;
  }
  if (!startEditor(problem)) return false;
  windowManager_ = testing::WindowManager::start(display(), problem);
  return windowManager_ != nullptr;
}

bool XStage::startEditor(std::string& problem) {
  const std::vector<std::string> geometry{"--geometry", "1154x734+100+50"};
  editors_.push_back(std::make_unique<testing::EditorUnderTest>(testing::testEditorProgram(), display(), geometry));
  if (editors_.back()->ready()) return true;
  problem = "the test editor did not come up on " + display();
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
  server_->kill();
  // Both lose their connection and end; reap them.
  editor().quit();
  windowManager_.reset();
  if (!server_->restart()) {
    problem = "Xvfb did not start again on " + display();
    return false;
  }
  return startDesktop(problem);
}

EditorInput inputOf(const testing::EditorUnderTest& editor) {
  EditorInput input;
  for (const std::string& line : editor.lines()) {
    if (testing::isClickLine(line)) ++input.clicks;
    if (testing::isKeyLine(line)) ++input.keys;
  }
  return input;
}

}  // namespace tessevar::soak
