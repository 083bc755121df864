#include "relay_under_test.h"

#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>
#include <vector>

#include "e2e/tessevar_process.h"
#include "platform/editor_under_test.h"
#include "platform/xvfb_server.h"
#include "link/connections.h"
#include "link/relay.h"

namespace {

using namespace std::chrono_literals;
using tessevar::e2e::TempHome;
using tessevar::e2e::TessevarProcess;

bool insideTestNetwork() { return std::getenv("TESSEVAR_TESTNET") != nullptr; }

double seconds(timeval t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6; }

// The link layer's relay loop on a thread of this process, no-op inspectors.
class InProcessRelay final : public RelayUnderTest {
 public:
  InProcessRelay() : output_(console_) {
    const Stage& stage = benchStage();
    const tessevar::LinkSettings settings{.networkPortName = "",
                                          .surfaceAddress = stage.xtouch,
                                          .mixerAddress = stage.mixer,
                                          .port = stage.port};
    tessevar::openConnections(relay_, stage.relay, settings, output_);
    while (!relay_.surfaceLinkReady || !relay_.mixerLinkReady) std::this_thread::sleep_for(1ms);
    tessevar::armFirstReceive(relay_, tessevar::Side::surface);
    tessevar::armFirstReceive(relay_, tessevar::Side::mixer);
    loop_ = std::thread([this] {
      auto ignore = [](const tessevar::Datagram&) {};
      tessevar::runRelayLoop(relay_, ignore, ignore);
    });
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

// A private X server with the test editor on it, when both can be started.
struct EditorScene {
  EditorScene() {
    if (std::getenv("TESSEVAR_BENCH_NO_EDITOR") != nullptr) return;  // the relay alone, for comparison
    std::string problem;
    server = tessevar::testing::XvfbServer::start(problem);
    if (!server) return;
    editor = std::make_unique<tessevar::testing::EditorUnderTest>(tessevar::testing::testEditorProgram(),
                                                                  server->display());
    if (!editor->ready()) editor.reset();
  }
  std::string display() const { return editor ? server->display() : ""; }

  std::unique_ptr<tessevar::testing::XvfbServer> server;
  std::unique_ptr<tessevar::testing::EditorUnderTest> editor;
};

// The real binary, configured for the test network, driven through a pipe.
class RealProgram final : public RelayUnderTest {
 public:
  RealProgram() : program_(configured(home_, scene_)) {
    // The console banner's last line comes once both links are ready.
    std::vector<std::string> lines = program_.linesUntil("|Press q + enter to quit or s + enter to enter setup|");
    if (lines.empty() || !program_.nextLine()) {
      std::fprintf(stderr, "the program did not start relaying\n");
      std::exit(1);
    }
  }
  ~RealProgram() override {
    program_.type("q\n");
    program_.waitForExit();
  }
  const char* description() const override {
    return scene_.editor ? "the real program (build/bin/tessevar) in a network namespace, test editor on Xvfb"
                         : "the real program (build/bin/tessevar) in a network namespace, no display";
  }
  bool editorPresent() const override { return scene_.editor != nullptr; }
  double cpuSeconds() const override {
    std::ifstream stat("/proc/" + std::to_string(program_.pid()) + "/stat");
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
  static TessevarProcess::Options configured(const TempHome& home, const EditorScene& scene) {
    const Stage& stage = benchStage();
    home.writeConfig("en0-" + stage.mixer + "-" + stage.xtouch + "-");
    return {home.path(), scene.display()};
  }

  EditorScene scene_;
  TempHome home_;
  mutable TessevarProcess program_;
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
