#pragma once

#include <sys/types.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "support/tessevar_process.h"

namespace tessevar::soak {

struct ResourceSample {
  double at = 0;        // seconds into the soak
  long residentKb = 0;  // VmRSS
  int descriptors = 0;  // entries of /proc/PID/fd
};

// Nothing when the process is gone.
std::optional<ResourceSample> sampleResources(pid_t pid, double at);

// The UDP sockets of this network namespace (the program's), as
// "local <- remote: N dropped at a full receive buffer".
std::vector<std::string> udpSockets();

// Samples the program's resources once a second and reads its console
// output, so a full pipe never holds it up.
class ProgramWatch {
 public:
  ProgramWatch(testing::TessevarProcess& program, std::chrono::steady_clock::time_point start)
      : program_(program), start_(start), thread_([this] { loop(); }) {}
  ~ProgramWatch() { stop(); }
  ProgramWatch(const ProgramWatch&) = delete;
  ProgramWatch& operator=(const ProgramWatch&) = delete;

  void stop();
  std::vector<ResourceSample> samples();
  std::optional<ResourceSample> latest();
  // What the program printed; read it after stop().
  const std::vector<std::string>& said() const { return said_; }

 private:
  void loop();

  testing::TessevarProcess& program_;
  std::chrono::steady_clock::time_point start_;
  std::atomic<bool> stopping_{false};
  std::mutex mutex_;
  std::vector<ResourceSample> samples_;
  std::vector<std::string> said_;
  std::thread thread_;  // last: starts once everything above is in place
};

}  // namespace tessevar::soak
