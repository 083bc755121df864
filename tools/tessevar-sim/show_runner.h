#pragma once

// Plays a Show as both devices at once: the X-Touch's and the mixer's UDP
// ports, each talking to the program's port, and scores both directions.

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "score.h"
#include "show.h"

namespace tessevar::sim {

struct StageAddresses {
  std::string surface = "198.18.0.2";
  std::string mixer = "198.18.0.3";
  std::string tessevar = "198.18.0.1";
  std::uint16_t port = 10111;
  std::string networkNamespace;  // where the devices' ports are made; empty: here
};

class ShowRunner {
 public:
  // Opens both devices' ports; throws std::runtime_error when one cannot be had.
  ShowRunner(const StageAddresses& addresses, double rate);
  ~ShowRunner();
  ShowRunner(const ShowRunner&) = delete;
  ShowRunner& operator=(const ShowRunner&) = delete;

  // Plays for `length` (zero: until stop()), then goes on receiving for
  // `drain`, for what is still on its way.
  void run(Clock::duration length, Clock::duration drain);
  // Ends the show early; safe from a signal handler.
  void stop();

  // Faults, from another thread while run() plays; each returns once done.
  // A stopped device sends nothing and its port is closed.
  void stopDevice(Side side);
  // Reopens the port. What was sent to it while it was away, or in the
  // `inFlight` before, is the network's loss if it never arrived.
  void restartDevice(Side side, Clock::duration inFlight);
  // The link was down over [from, to]: both directions, as above.
  void excuseLink(Clock::time_point from, Clock::time_point to, const std::string& what);
  // One more datagram from a device, scored like the show's.
  void sendExtra(Side from, const Bytes& bytes);

  // The books of one direction (datagrams sent by `from`), after run().
  DirectionSummary summary(Side from) const;
  // When run() began.
  Clock::time_point started() const { return started_; }

 private:
  struct Device {
    std::string address;
    int descriptor = -1;
    Clock::time_point downSince{};
    std::uint64_t refused = 0;  // sends the system turned down
    std::uint64_t strays = 0;   // datagrams from anyone but the program
  };

  Device& device(Side side) { return devices_[static_cast<std::size_t>(side)]; }
  DirectionScore& score(Side from) { return scores_[static_cast<std::size_t>(from)]; }
  void openPort(Side side);
  void inLoop(std::function<void()> action);
  void runActions();
  void send(Side from, Bytes bytes, bool stamped);
  void receiveAll(Side at);
  void pollOnce(int timeoutMs);

  StageAddresses addresses_;
  Show show_;
  std::array<Device, 2> devices_;
  std::array<DirectionScore, 2> scores_;
  int wake_ = -1;
  Clock::time_point started_ = Clock::now();
  std::atomic<bool> stopping_{false};
  std::atomic<bool> running_{false};
  std::mutex actionsMutex_;
  std::vector<std::function<void()>> actions_;
};

}  // namespace tessevar::sim
