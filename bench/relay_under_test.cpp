#include "relay_under_test.h"

#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "link/connections.h"
#include "link/relay.h"

extern char** environ;

namespace {

using namespace std::chrono_literals;

bool insideTestNetwork() { return std::getenv("TESSEVAR_TESTNET") != nullptr; }

double seconds(timeval t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6; }

// The link layer's relay loop on a thread of this process, no-op inspectors.
class InProcessRelay final : public RelayUnderTest {
 public:
  InProcessRelay() : output_(console_) {
    const Stage& stage = benchStage();
    tessevar::LinkSettings settings{"", stage.xtouch, stage.mixer, stage.port};
    tessevar::openConnections(relay_, stage.relay, settings, output_);
    while (!relay_.surfaceLinkReady || !relay_.mixerLinkReady) std::this_thread::sleep_for(1ms);
    loop_ = std::thread([this] {
      auto ignore = [](const tessevar::Datagram&) {};
      tessevar::runRelayLoop(relay_, ignore, ignore);
    });
    tessevar::armFirstReceive(relay_, tessevar::Side::surface);
    tessevar::armFirstReceive(relay_, tessevar::Side::mixer);
  }
  ~InProcessRelay() override {
    tessevar::requestQuit(relay_);
    loop_.join();
  }
  const char* description() const override { return "the relay loop in this process, on loopback"; }
  double cpuSeconds() const override {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);  // only the relay loop is alive while idle
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
  }

 private:
  std::ostringstream console_;
  tessevar::LineOutput output_;
  tessevar::RelayState relay_;
  std::thread loop_;
};

// The real binary, configured for the test network, driven through a pipe.
class RealProgram final : public RelayUnderTest {
 public:
  RealProgram() {
    home_ = std::filesystem::temp_directory_path() / ("tessevar-bench-" + std::to_string(getpid()));
    std::filesystem::create_directories(home_ / "Documents");
    const Stage& stage = benchStage();
    std::ofstream(home_ / "Documents" / "Tessevar.cfg") << "en0-" << stage.mixer << "-" << stage.xtouch << "-";
    spawn();
    waitForBanner();
  }
  ~RealProgram() override {
    if (write(input_, "q\n", 2) != 2) kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
    close(input_);
    close(output_);
    std::filesystem::remove_all(home_);
  }
  const char* description() const override { return "the real program (build/bin/tessevar) in a network namespace"; }
  double cpuSeconds() const override {
    std::ifstream stat("/proc/" + std::to_string(pid_) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    std::istringstream fields(text.substr(text.rfind(')') + 2));
    std::string field;
    unsigned long long utime = 0, stime = 0;
    for (int i = 3; i <= 15 && fields >> field; ++i) {
      if (i == 14) utime = std::stoull(field);
      if (i == 15) stime = std::stoull(field);
    }
    return static_cast<double>(utime + stime) / static_cast<double>(sysconf(_SC_CLK_TCK));
  }

 private:
  void spawn() {
    int in[2], out[2];
    if (pipe(in) != 0 || pipe(out) != 0) std::exit(1);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], 0);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    for (int fd : {in[0], in[1], out[0], out[1]}) posix_spawn_file_actions_addclose(&actions, fd);
    setenv("HOME", home_.c_str(), 1);
    unsetenv("DISPLAY");
    std::string binary = TESSEVAR_BINARY;
    char* argv[] = {binary.data(), nullptr};
    if (posix_spawn(&pid_, binary.c_str(), &actions, nullptr, argv, environ) != 0) {
      std::fprintf(stderr, "cannot start %s\n", binary.c_str());
      std::exit(1);
    }
    posix_spawn_file_actions_destroy(&actions);
    close(in[0]);
    close(out[1]);
    input_ = in[1];
    output_ = out[0];
  }

  // The console banner's last line comes once both links are ready.
  void waitForBanner() {
    std::string seen;
    char c;
    int borders = 0;
    while (borders < 2 && read(output_, &c, 1) == 1) {
      seen.push_back(c);
      if (c == '\n') {
        if (seen.rfind("+---", 0) == 0) ++borders;
        seen.clear();
      }
    }
    if (borders < 2) {
      std::fprintf(stderr, "the program did not start relaying\n");
      std::exit(1);
    }
  }

  std::filesystem::path home_;
  pid_t pid_ = -1;
  int input_ = -1;
  int output_ = -1;
};

}  // namespace

const Stage& benchStage() {
  static const Stage network{"198.18.0.1", "198.18.0.2", "198.18.0.3", 10111, "198.18.0.2", "198.18.0.3", 20211};
  static const Stage loopback{"127.32.0.1", "127.32.0.2", "127.32.0.3", 20211, "127.32.0.4", "127.32.0.5", 20211};
  return insideTestNetwork() ? network : loopback;
}

std::unique_ptr<RelayUnderTest> startRelayUnderTest() {
  if (insideTestNetwork()) return std::make_unique<RealProgram>();
  return std::make_unique<InProcessRelay>();
}
