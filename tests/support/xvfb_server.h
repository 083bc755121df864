#pragma once

#include <sys/types.h>

#include <memory>
#include <string>

namespace tessevar::testing {

// A throwaway Xvfb (2560x1600, no TCP) on a free display number of its
// own, so parallel tests never share a server. Stopped when destroyed.
class XvfbServer {
 public:
  // nullptr plus a reason when Xvfb is missing or does not come up.
  static std::unique_ptr<XvfbServer> start(std::string& problem);
  ~XvfbServer();
  XvfbServer(const XvfbServer&) = delete;
  XvfbServer& operator=(const XvfbServer&) = delete;

  const std::string& display() const { return display_; }
  // Ends the server abruptly, as a crash would.
  void kill();
  // Ends the server abruptly (unless kill() did) and starts a fresh one on
  // the same display, as a restarted desktop session would. False when none
  // comes up.
  bool restart();

 private:
  XvfbServer(pid_t pid, std::string display) : pid_(pid), display_(std::move(display)) {}
  pid_t pid_;
  std::string display_;
};

}  // namespace tessevar::testing
