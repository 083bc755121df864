// Relay latency, lossless throughput and idle CPU, and how much editor
// automation holds the relay up. Inside the test network (scripts/testnet)
// the real program is measured, with a test editor on a private X server when
// one can be started; elsewhere the relay loop in this process, on loopback.
// A direct send between two sockets is the baseline.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <tuple>
#include <utility>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "relay_under_test.h"
#include "support/icmp_forger.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;
constexpr int latencyCount = 2000;
constexpr auto latencyInterval = 1ms;
constexpr int bigBuffer = 8 << 20;

sockaddr_in socketAddress(const std::string& text, std::uint16_t port) {
  sockaddr_in result{};
  result.sin_family = AF_INET;
  result.sin_port = htons(port);
  inet_pton(AF_INET, text.c_str(), &result.sin_addr);
  return result;
}

// A peer socket bound to one place and connected to another.
class PeerSocket {
 public:
  PeerSocket(const Place& self, const Place& peer) : descriptor_(socket(AF_INET, SOCK_DGRAM, 0)) {
    int one = 1;
    setsockopt(descriptor_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
#ifdef SO_RCVBUFFORCE
    if (setsockopt(descriptor_, SOL_SOCKET, SO_RCVBUFFORCE, &bigBuffer, sizeof bigBuffer) != 0)
#endif
      setsockopt(descriptor_, SOL_SOCKET, SO_RCVBUF, &bigBuffer, sizeof bigBuffer);
    timeval patience{1, 0};
    setsockopt(descriptor_, SOL_SOCKET, SO_RCVTIMEO, &patience, sizeof patience);
    sockaddr_in local = socketAddress(self.address, self.port);
    sockaddr_in remote = socketAddress(peer.address, peer.port);
    if (bind(descriptor_, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0 ||
        connect(descriptor_, reinterpret_cast<sockaddr*>(&remote), sizeof remote) != 0) {
      std::perror("bench socket");
      std::exit(1);
    }
  }
  ~PeerSocket() { close(descriptor_); }
  PeerSocket(const PeerSocket&) = delete;
  PeerSocket& operator=(const PeerSocket&) = delete;

  void send(const void* bytes, std::size_t size) { ::send(descriptor_, bytes, size, 0); }
  ssize_t receive(void* bytes, std::size_t size, int flags = 0) { return recv(descriptor_, bytes, size, flags); }
  int descriptor() const { return descriptor_; }

 private:
  int descriptor_;
};

// MIDI timing clock first, a status no inspector acts on, so the program
// under test adds nothing of its own to the flow.
struct Stamp {
  std::uint8_t status = 0xF8;
  std::uint32_t sequence = 0;
  std::int64_t sentAt = 0;  // steady clock, nanoseconds
};

std::int64_t nanosecondsNow() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch()).count();
}

// ---- (a) latency ---------------------------------------------------------

std::vector<double> oneWayLatencies(PeerSocket& sender, PeerSocket& receiver, int count = latencyCount) {
  std::vector<double> microseconds;
  std::thread reader([&] {
    Stamp stamp{};
    while (static_cast<int>(microseconds.size()) < count) {
      const ssize_t got = receiver.receive(&stamp, sizeof stamp);
      if (got < 0 && errno == ECONNREFUSED) continue;  // a refusal, forged or not: no datagram
      if (got != static_cast<ssize_t>(sizeof stamp)) return;
      microseconds.push_back(static_cast<double>(nanosecondsNow() - stamp.sentAt) / 1000.0);
    }
  });
  Clock::time_point start = Clock::now();
  for (int i = 0; i < count; ++i) {
    std::this_thread::sleep_until(start + i * latencyInterval);
    Stamp stamp;
    stamp.sequence = static_cast<std::uint32_t>(i);
    stamp.sentAt = nanosecondsNow();
    sender.send(&stamp, sizeof stamp);
  }
  reader.join();
  return microseconds;
}

double percentile(std::vector<double> values, double fraction) {
  if (values.empty()) return 0;
  std::size_t index = static_cast<std::size_t>(fraction * static_cast<double>(values.size() - 1));
  std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(index), values.end());
  return values[index];
}

struct Latency {
  double median;
  double p99;
  double max;
  std::size_t received;
};

Latency summarise(const std::vector<double>& values) {
  return {percentile(values, 0.5), percentile(values, 0.99), percentile(values, 1.0), values.size()};
}

void printLatencyRow(const char* what, Latency latency) {
  std::printf("  %-28s %9.1f %9.1f   (%zu of %d arrived)\n", what, latency.median, latency.p99, latency.received,
              latencyCount);
}

void printAdded(const char* what, Latency relayed, Latency direct) {
  double addedMedian = relayed.median - direct.median;
  double addedP99 = relayed.p99 - direct.p99;
  std::printf("  %-28s %9.1f %9.1f   ratio to direct: median %.1fx, p99 %.1fx   [%s]\n", what, addedMedian,
              addedP99, relayed.median / direct.median, relayed.p99 / direct.p99,
              addedMedian <= 50 ? "meets target" : "MISSES target");
}

std::pair<Latency, Latency> benchLatency(PeerSocket& xtouch, PeerSocket& mixer) {
  std::printf("(c1) one-way latency, %d datagrams at 1 kHz, microseconds\n", latencyCount);
  std::printf("  %-28s %9s %9s\n", "", "median", "p99");
  const Stage& stage = benchStage();
  PeerSocket directFrom(stage.directA, stage.directB);
  PeerSocket directTo(stage.directB, stage.directA);
  // Warm both paths up first (first-use page faults, lazy allocations).
  oneWayLatencies(directFrom, directTo, 100);
  oneWayLatencies(xtouch, mixer, 100);
  oneWayLatencies(mixer, xtouch, 100);
  Latency direct = summarise(oneWayLatencies(directFrom, directTo));
  Latency towardsMixer = summarise(oneWayLatencies(xtouch, mixer));
  Latency towardsSurface = summarise(oneWayLatencies(mixer, xtouch));
  printLatencyRow("direct send (baseline)", direct);
  printLatencyRow("through relay X-Touch->mixer", towardsMixer);
  printLatencyRow("through relay mixer->X-Touch", towardsSurface);
  printAdded("added, X-Touch->mixer", towardsMixer, direct);
  printAdded("added, mixer->X-Touch", towardsSurface, direct);
  std::printf("  target: added median <= 50 us\n\n");
  return {towardsMixer, towardsSurface};
}

// ---- (a) stall: the surface's stream while the editor is being clicked ----

// Display runs "01" and "02" in turn: each selects another strip, two clicks.
constexpr std::array<std::array<std::uint8_t, 5>, 2> displayRuns{{{0xB0, 0x60, 0x00, 0x61, 0x06},
                                                                 {0xB0, 0x60, 0x00, 0x61, 0x5B}}};
constexpr auto displayRunInterval = 250ms;
constexpr int stallCount = 4000;

void benchStall(PeerSocket& xtouch, PeerSocket& mixer, bool editorPresent) {
  std::printf("(a) stall: X-Touch stream at 1 kHz (%d datagrams) while the mixer selects another strip every %lld ms\n",
              stallCount, static_cast<long long>(displayRunInterval.count()));
  if (!editorPresent) std::printf("  (no test editor: nothing is clicked, so this shows no stall either way)\n");
  const Stage& stage = benchStage();
  PeerSocket directFrom(stage.directA, stage.directB);
  PeerSocket directTo(stage.directB, stage.directA);
  Latency direct = summarise(oneWayLatencies(directFrom, directTo, stallCount));
  std::atomic<bool> streaming{true};
  std::thread selector([&] {
    for (std::size_t run = 0; streaming; ++run) {
      mixer.send(displayRuns[run % 2].data(), displayRuns[run % 2].size());
      std::this_thread::sleep_for(displayRunInterval);
    }
  });
  Latency stream = summarise(oneWayLatencies(xtouch, mixer, stallCount));
  streaming = false;
  selector.join();
  std::this_thread::sleep_for(50ms);
  while (xtouch.receive(nullptr, 0, MSG_DONTWAIT) >= 0) {  // the display runs, relayed to the X-Touch
  }
  std::printf("  %-28s %9s %9s %9s\n", "", "median", "p99", "max");
  std::printf("  %-28s %9.1f %9.1f %9.1f\n", "direct send (baseline)", direct.median, direct.p99, direct.max);
  std::printf("  %-28s %9.1f %9.1f %9.1f   (%zu of %d arrived)\n", "X-Touch->mixer while clicking", stream.median,
              stream.p99, stream.max, stream.received, stallCount);
  const double addedP99 = stream.p99 - direct.p99;
  const double addedMax = stream.max - direct.max;
  std::printf("  added: p99 %.1f us, max %.1f us   [%s]\n", addedP99, addedMax,
              addedP99 <= 1000 && addedMax <= 2000 ? "meets target" : "MISSES target");
  std::printf("  target: added p99 <= 1 ms, added max <= 2 ms\n\n");
}

// ---- (c2) throughput -----------------------------------------------------

struct Flow {
  std::uint64_t sent[2] = {0, 0};
  std::atomic<std::uint64_t> received[2] = {0, 0};
  std::atomic<std::uint64_t> outOfOrder{0};
  double seconds = 0;
};

void drainInto(PeerSocket& socket, Flow& flow, int direction, std::uint32_t& expected) {
  Stamp stamp{};
  while (socket.receive(&stamp, sizeof stamp, MSG_DONTWAIT) == static_cast<ssize_t>(sizeof stamp)) {
    if (stamp.sequence != expected) ++flow.outOfOrder;
    expected = stamp.sequence + 1;
    ++flow.received[direction];
  }
}

// Direction 0 is X-Touch->mixer (read at the mixer), 1 is mixer->X-Touch.
void countArrivals(PeerSocket& mixer, PeerSocket& xtouch, Flow& flow, const std::atomic<bool>& sending) {
  std::uint32_t expected[2] = {0, 0};
  std::array<pollfd, 2> fds{pollfd{mixer.descriptor(), POLLIN, 0}, pollfd{xtouch.descriptor(), POLLIN, 0}};
  Clock::time_point lastArrival = Clock::now();
  while (sending || Clock::now() - lastArrival < 300ms) {
    if (!sending && flow.received[0] == flow.sent[0] && flow.received[1] == flow.sent[1]) return;
    if (poll(fds.data(), fds.size(), 50) <= 0) continue;
    lastArrival = Clock::now();
    drainInto(mixer, flow, 0, expected[0]);
    drainInto(xtouch, flow, 1, expected[1]);
  }
}

// Sends `rate` datagrams per second each way for `duration`, a millisecond's
// share at a time, and counts what arrives.
void runFlow(PeerSocket& xtouch, PeerSocket& mixer, int rate, std::chrono::milliseconds duration, Flow& flow) {
  std::atomic<bool> sending{true};
  std::thread counter([&] { countArrivals(mixer, xtouch, flow, sending); });
  const auto ticks = duration / 1ms;
  Clock::time_point start = Clock::now();
  std::uint32_t sequence = 0;
  for (std::int64_t tick = 0; tick < ticks; ++tick) {
    std::this_thread::sleep_until(start + tick * 1ms);
    const auto due = static_cast<std::uint32_t>(static_cast<std::int64_t>(rate) * (tick + 1) / 1000);
    for (; sequence < due; ++sequence) {
      Stamp stamp;
      stamp.sequence = sequence;
      xtouch.send(&stamp, sizeof stamp);
      mixer.send(&stamp, sizeof stamp);
    }
  }
  flow.seconds = std::chrono::duration<double>(Clock::now() - start).count();
  flow.sent[0] = flow.sent[1] = sequence;
  sending = false;
  counter.join();
}

bool lossless(const Flow& flow) {
  return flow.received[0] == flow.sent[0] && flow.received[1] == flow.sent[1] && flow.outOfOrder == 0;
}

void printFlow(const char* stage, int rate, const Flow& flow) {
  std::printf("  %-8s %7d/s each way for %.1f s: X-Touch->mixer %llu/%llu, mixer->X-Touch %llu/%llu%s\n", stage, rate,
              flow.seconds, static_cast<unsigned long long>(flow.received[0].load()),
              static_cast<unsigned long long>(flow.sent[0]), static_cast<unsigned long long>(flow.received[1].load()),
              static_cast<unsigned long long>(flow.sent[1]), lossless(flow) ? "" : "  LOSS");
}

// The rate each way sent and received without loss; 0 on loss. A sender
// that fell more than a tenth behind yields the rate it actually reached.
int tryRate(PeerSocket& xtouch, PeerSocket& mixer, const char* stage, int rate, std::chrono::milliseconds duration) {
  Flow flow;
  runFlow(xtouch, mixer, rate, duration, flow);
  printFlow(stage, rate, flow);
  if (!lossless(flow)) return 0;
  int achieved = static_cast<int>(static_cast<double>(flow.sent[0]) / flow.seconds);
  return achieved < rate * 9 / 10 ? achieved : rate;
}

constexpr std::array<int, 8> probeRates{5000, 10000, 20000, 40000, 80000, 160000, 320000, 640000};

// Steps the rate up in 1 s probes, then narrows in on the first rate that
// lost datagrams. Returns the highest lossless probe; 0 if none.
int highestLosslessProbe(PeerSocket& xtouch, PeerSocket& mixer) {
  int best = 0;
  int failed = 0;
  for (int rate : probeRates) {
    int achieved = tryRate(xtouch, mixer, "probe", rate, 1s);
    if (achieved == 0) {
      failed = rate;
      break;
    }
    best = std::max(best, achieved);
    if (achieved < rate * 9 / 10) break;  // the sender is the limit now
  }
  // Halves the gap to the first losing rate three times.
  for (int step = 0; step < 3 && failed != 0 && best != 0; ++step) {
    const int middle = (best + failed) / 2;
    if (const int achieved = tryRate(xtouch, mixer, "probe", middle, 1s); achieved > 0) {
      best = std::max(best, achieved);
    } else {
      failed = middle;
    }
  }
  return best;
}

// Holds the best probe rate for 5 s; while that loses datagrams, steps down
// by a tenth each time until a rate holds. Capped to keep the run short.
int holdBestRate(PeerSocket& xtouch, PeerSocket& mixer, int best) {
  for (int rate = best; rate >= probeRates.front() / 4; rate = rate * 9 / 10) {
    if (int held = tryRate(xtouch, mixer, "hold", rate, 5s); held > 0) return held;
  }
  return 0;
}

int benchThroughput(PeerSocket& xtouch, PeerSocket& mixer) {
  std::printf("(c2) lossless throughput, both directions at once (search capped at %d/s)\n", probeRates.back());
  std::printf(" baseline: direct sends between two sockets\n");
  const Stage& stage = benchStage();
  PeerSocket directA(stage.directA, stage.directB);
  PeerSocket directB(stage.directB, stage.directA);
  int direct = highestLosslessProbe(directA, directB);
  std::printf(" through the relay\n");
  int best = highestLosslessProbe(xtouch, mixer);
  int held = best > 0 ? holdBestRate(xtouch, mixer, best) : 0;
  std::printf("  highest rate held 5 s without loss: %d datagrams/s each way; direct baseline %d/s (relay/direct %.2f)   [%s]\n",
              held, direct, direct > 0 ? static_cast<double>(held) / direct : 0.0,
              held >= 45000 ? "meets target" : "MISSES target");
  std::printf("  target: >= 45000 datagrams/s each way\n\n");
  return held;
}

// ---- (c4) forged refusals ------------------------------------------------

constexpr int forgedPerSecond = 1000;
constexpr int forgedLatencyCount = 2500;  // 2.5 s each way: 5 s of forgery in all

// While a stranger forges `forgedPerSecond` refusals a second for the X-Touch
// link, the latency each way, against that of (c1).
void benchForgedRefusals(PeerSocket& xtouch, PeerSocket& mixer, const Latency& calmTowardsMixer,
                         const Latency& calmTowardsSurface) {
  std::printf("(c4) forged ICMP port unreachable for the X-Touch link, %d a second for 5 s\n", forgedPerSecond);
  std::string why;
  std::unique_ptr<tessevar::testing::IcmpForger> forger = tessevar::testing::IcmpForger::open(why);
  if (!forger) {
    std::printf("  not measured: %s\n\n", why.c_str());
    return;
  }
  const Stage& stage = benchStage();
  std::atomic<bool> forging{true};
  std::thread stranger([&] {
    const Clock::time_point start = Clock::now();
    for (int i = 0; forging; ++i) {
      std::this_thread::sleep_until(start + i * std::chrono::microseconds(1'000'000 / forgedPerSecond));
      forger->refuse(stage.relay.address, stage.relay.port, stage.xtouch.address, stage.xtouch.port);
    }
  });
  const Latency towardsMixer = summarise(oneWayLatencies(xtouch, mixer, forgedLatencyCount));
  const Latency towardsSurface = summarise(oneWayLatencies(mixer, xtouch, forgedLatencyCount));
  forging = false;
  stranger.join();
  std::printf("  %-28s %9s %9s %9s %9s\n", "", "median", "p99", "max", "lost");
  for (const auto& [what, latency, calm] :
       {std::tuple{"X-Touch->mixer", towardsMixer, calmTowardsMixer},
        std::tuple{"mixer->X-Touch", towardsSurface, calmTowardsSurface}}) {
    std::printf("  %-28s %9.1f %9.1f %9.1f %9zu   added median %.1f us\n", what, latency.median, latency.p99,
                latency.max, forgedLatencyCount - latency.received, latency.median - calm.median);
  }
  const bool met = towardsMixer.received == forgedLatencyCount && towardsSurface.received == forgedLatencyCount &&
                   towardsMixer.median - calmTowardsMixer.median <= 1000 &&
                   towardsSurface.median - calmTowardsSurface.median <= 1000;
  std::printf("  [%s] target: nothing lost either way, added median <= 1 ms each way\n\n",
              met ? "meets target" : "MISSES target");
}

// ---- (c5) CPU per datagram -------------------------------------------------

// What relaying costs the relay itself, at a rate every build carries: less
// at the mercy of the other programs on the machine than the search above.
void benchCpuPerDatagram(PeerSocket& xtouch, PeerSocket& mixer, const RelayUnderTest& relay) {
  constexpr int rate = 20000;
  std::printf("(c5) CPU of the relay per datagram, %d/s each way for 5 s\n", rate);
  const double before = relay.cpuSeconds();
  Flow flow;
  runFlow(xtouch, mixer, rate, 5s, flow);
  const double used = relay.cpuSeconds() - before;
  const double datagrams = static_cast<double>(flow.received[0] + flow.received[1]);
  std::printf("  %.2f us of CPU per relayed datagram (%.0f relayed, %.2f s of CPU)%s\n\n",
              datagrams > 0 ? used * 1e6 / datagrams : 0.0, datagrams, used, lossless(flow) ? "" : "  LOSS");
}

// ---- (c3) idle CPU -------------------------------------------------------

void benchIdle(const RelayUnderTest& relay) {
  std::printf("(c3) CPU of the relay while idle for 5 s\n");
  double before = relay.cpuSeconds();
  Clock::time_point start = Clock::now();
  std::this_thread::sleep_for(5s);
  double wall = std::chrono::duration<double>(Clock::now() - start).count();
  double percent = 100.0 * (relay.cpuSeconds() - before) / wall;
  std::printf("  %.3f %% of one core (a spinning loop would be 100 %%)   [%s]\n", percent,
              percent < 1.0 ? "meets target" : "MISSES target");
  std::printf("  target: < 1 %%\n");
}

}  // namespace

int main() {
  const Stage& stage = benchStage();
  // The peers first, so the program's first sends find them.
  PeerSocket xtouch(stage.xtouch, stage.relay);
  PeerSocket mixer(stage.mixer, stage.relay);
  std::unique_ptr<RelayUnderTest> relay = startRelayUnderTest();
  std::printf("measuring %s\n\n", relay->description());
  // TESSEVAR_BENCH_ONLY=cpu or =latency: that figure alone, for comparing builds quickly.
  const std::string only = std::getenv("TESSEVAR_BENCH_ONLY") ? std::getenv("TESSEVAR_BENCH_ONLY") : "";
  if (only == "cpu") benchCpuPerDatagram(xtouch, mixer, *relay);
  if (only == "latency") benchLatency(xtouch, mixer);
  if (!only.empty()) return 0;
  benchStall(xtouch, mixer, relay->editorPresent());
  std::printf("(c) relay figures%s; every datagram from the mixer asks for the editor to come forward\n\n",
              relay->editorPresent() ? " with the test editor present" : "");
  const auto [towardsMixer, towardsSurface] = benchLatency(xtouch, mixer);
  benchThroughput(xtouch, mixer);
  benchForgedRefusals(xtouch, mixer, towardsMixer, towardsSurface);
  benchCpuPerDatagram(xtouch, mixer, *relay);
  benchIdle(*relay);
  return 0;
}
