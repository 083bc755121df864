#include "relay_under_test.h"

#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <sstream>
#include <thread>

#include "link/relay.h"

namespace {

using namespace std::chrono_literals;

double seconds(timeval t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6; }

// The link layer's relay loop on a thread of this process, no-op inspectors.
class InProcessRelay final : public RelayUnderTest {
 public:
  InProcessRelay() : output_(console_), relay_(settings(), benchStage().relay.address, output_) {
    while (!relay_.openLinks()) std::this_thread::sleep_for(1s);
    loop_ = std::thread([this] {
      auto ignore = [](std::span<const std::uint8_t>) {};
      relay_.run(stop_, ignore, ignore);
    });
  }
  ~InProcessRelay() override {
    stop_.raise();
    loop_.join();
  }
  const char* description() const override { return "the relay loop in this process, on loopback"; }
  double cpuSeconds() const override {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);  // only the relay loop is alive while idle
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
  }

 private:
  static tessevar::LinkSettings settings() {
    const Stage& stage = benchStage();
    return {.networkPortName = "",
            .surfaceAddress = stage.xtouch.address,
            .mixerAddress = stage.mixer.address,
            .port = stage.relay.port,
            .surfacePort = stage.xtouch.port,
            .mixerPort = stage.mixer.port};
  }

  std::ostringstream console_;
  tessevar::LineOutput output_;
  tessevar::StopSignal stop_;
  tessevar::Relay relay_;
  std::thread loop_;
};

}  // namespace

bool insideTestNetwork() { return std::getenv("TESSEVAR_TESTNET") != nullptr; }

// Loopback is 127.0.0.1 alone on macOS: a port for each socket.
const Stage& benchStage() {
  static const Stage network{{"198.18.0.1", 10111}, {"198.18.0.2", 10111}, {"198.18.0.3", 10111},
                             {"198.18.0.2", 20211}, {"198.18.0.3", 20211}};
  static const Stage loopback{{"127.0.0.1", 20211}, {"127.0.0.1", 20212}, {"127.0.0.1", 20213},
                              {"127.0.0.1", 20214}, {"127.0.0.1", 20215}};
  return insideTestNetwork() ? network : loopback;
}

std::unique_ptr<RelayUnderTest> startRelayUnderTest() {
#ifdef TESSEVAR_BENCH_REAL_PROGRAM
  if (insideTestNetwork()) return startRealProgram();
#endif
  return std::make_unique<InProcessRelay>();
}
