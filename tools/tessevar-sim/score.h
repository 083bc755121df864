#pragma once

// Keeps the books of one direction (one device's datagrams on their way to
// the other) and finds loss, duplication and reordering.
//
// Every datagram sent gets the next sequence number. An arriving datagram is
// matched by its bytes to a datagram sent but not yet arrived: stamped
// datagrams (meters, pitch bend) are unique by their counter, and the few
// that repeat (keep-alive, button presses) are told apart by their order.
// Of several waiting copies the first sent after the last arrival wins, so a
// lost copy does not make its successor look reordered.

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "show.h"

namespace tessevar::sim {

using Clock = std::chrono::steady_clock;

struct LatencyFigures {
  std::size_t samples = 0;
  double p50 = 0, p90 = 0, p99 = 0, p999 = 0, max = 0;  // milliseconds
};

// Time from a return (a peer or the link coming back) until the first
// datagram sent after it arrived; nothing when none arrived.
struct Recovery {
  std::string what;
  std::optional<Clock::duration> after;
};

// Consecutive datagrams the program lost, by the time they were sent.
struct LossRun {
  std::uint64_t count = 0;
  Clock::time_point from, to;
  Bytes first;  // the bytes of the first of them
};

// Consecutive datagrams that each took longer than DirectionScore::slow.
struct SlowRun {
  std::uint64_t count = 0;
  Clock::time_point from, to;
  Clock::duration longest{};
};

struct DirectionSummary {
  std::uint64_t sent = 0;
  std::uint64_t refused = 0;     // turned down by the sender's own system (link down), not counted as sent
  std::uint64_t received = 0;    // datagrams sent that arrived, once
  std::uint64_t lost = 0;        // sent, never arrived, the network able to carry them
  std::uint64_t notCarried = 0;  // sent while the receiver or the link was down, never arrived
  std::uint64_t duplicated = 0;
  std::uint64_t reordered = 0;
  std::uint64_t lateAfterOutage = 0;  // held by the network while the link was down, overtaken on its return
  std::uint64_t ownMessages = 0;  // the program's own datagrams (its lamps)
  std::uint64_t unexpected = 0;   // bytes nobody sent: corrupted, cut or made up
  LatencyFigures latency;
  std::vector<Recovery> recoveries;
  std::vector<LossRun> lossRuns;
  std::vector<SlowRun> slowRuns;
  std::optional<Clock::time_point> slowestSentAt;  // when the slowest datagram was sent
  Bytes slowest;                                    // and its bytes
};

class DirectionScore {
 public:
  enum class Arrival { inOrder, reordered, lateAfterOutage, duplicate, ownMessage, unexpected };
  // Longer than this on the way is a stall worth naming.
  static constexpr std::chrono::milliseconds slow{100};
  // Tells the program's own datagrams in this direction.
  using OwnMessage = std::function<bool(const Bytes&)>;

  explicit DirectionScore(OwnMessage ownMessage = {}) : ownMessage_(std::move(ownMessage)) {}

  std::uint64_t nextSequence() const { return sent_.size(); }
  void sent(const Bytes& bytes, Clock::time_point at);
  Arrival received(const Bytes& bytes, Clock::time_point at);

  // Datagrams sent in [from, to] that never arrive are the network's loss.
  void excuse(Clock::time_point from, Clock::time_point to);
  void markReturn(std::string what, Clock::time_point at);

  DirectionSummary summary() const;

 private:
  struct Sent {
    Clock::time_point at;
    std::optional<Clock::time_point> arrived;
    const std::string* bytes;  // the key of its slot
  };
  struct Slot {
    std::set<std::uint64_t> waiting;
    std::uint64_t arrived = 0;
  };

  std::optional<std::uint64_t> claim(Slot& slot);
  bool excused(Clock::time_point at) const;
  std::optional<Clock::duration> recoveryAfter(Clock::time_point at) const;

  OwnMessage ownMessage_;
  std::vector<Sent> sent_;
  std::unordered_map<std::string, Slot> slots_;
  std::optional<std::uint64_t> highest_;
  std::uint64_t duplicated_ = 0, reordered_ = 0, late_ = 0, own_ = 0, unexpected_ = 0;
  std::vector<std::int64_t> latencies_;  // nanoseconds
  std::vector<std::pair<Clock::time_point, Clock::time_point>> excused_;
  std::vector<std::pair<std::string, Clock::time_point>> returns_;
};

// The program's lamp datagrams to the X-Touch: 90 59|5A 00|7F.
bool isOwnLamp(const Bytes& bytes);

LatencyFigures latencyFigures(std::vector<std::int64_t> nanoseconds);

}  // namespace tessevar::sim
