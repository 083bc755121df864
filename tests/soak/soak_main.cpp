// The soak: the real program in the test network between a simulated X-Touch
// and mixer playing a show at ten times a real show's rates, the test editor
// on Xvfb under openbox, while peers, the link, the editor and the X server
// come and go, malformed datagrams arrive both ways and a stranger floods
// the program's port. Prints its figures and, last, "N passed, N failed".
//
//   tessevar-soak [--seconds S] [--rate R]     (inside scripts/testnet, as root)
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "support/console_banner.h"
#include "support/tessevar_process.h"
#include "report.h"
#include "show_runner.h"
#include "soak/faults.h"
#include "soak/program_watch.h"
#include "soak/stage_setup.h"
#include "soak/x_stage.h"

namespace tessevar::soak {
namespace {

using namespace std::chrono_literals;
using sim::Side;

constexpr auto inFlight = 500ms;          // sent just before an outage may still be on its way
constexpr auto editorPatience = 20s;      // bounds the wait for input in a restarted editor
constexpr double recoveryLimit = 1.0;     // seconds, after a peer's or the link's return
constexpr long residentSlackKb = 1024;    // allocator noise, not a leak

struct Options {
  double seconds = 600;
  double rate = 10;
};

struct Check {
  std::string name;
  bool passed;
  std::string detail;
};

std::string format(const char* pattern, double value) {
  char text[64];
  std::snprintf(text, sizeof text, pattern, value);
  return text;
}

class Soak {
 public:
  explicit Soak(const Options& options) : options_(options) {}
  int run();

 private:
  double now() const { return std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count(); }
  void say(const std::string& text) const { std::cout << format("%7.1f s  ", now()) << text << std::endl; }
  void sleepUntil(double at) const {
    std::this_thread::sleep_until(start_ + std::chrono::duration_cast<std::chrono::nanoseconds>(
                                               std::chrono::duration<double>(at)));
  }
  void check(std::string name, bool passed, std::string detail = {}) {
    checks_.push_back({std::move(name), passed, std::move(detail)});
  }

  bool setUp(std::string& problem);
  EditorInput awaitEditorInput();
  void stopPeer(Side side);
  void dropLink();
  void restartEditor();
  void restartXServer();
  void sendCorpus();
  void floodPort();
  void report();
  int finish();

  Options options_;
  std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
  XStage stage_;
  std::unique_ptr<testing::TempHome> home_;  // made once /tmp is private
  std::unique_ptr<testing::TessevarProcess> program_;
  std::unique_ptr<sim::ShowRunner> runner_;
  std::thread show_;
  std::unique_ptr<ProgramWatch> watch_;
  std::optional<ResourceSample> warm_;
  std::vector<Check> checks_;
  std::vector<std::string> notes_;
  std::vector<std::string> sockets_;
  std::uint64_t flooded_ = 0;
  std::size_t corpusSize_ = 0;
};

bool Soak::setUp(std::string& problem) {
  if (!privateTmp(problem)) return false;
  if (!makeStageNamespace(problem)) return false;
  if (!stage_.start(problem)) return false;
  home_ = std::make_unique<testing::TempHome>();
  home_->writeConfig("en0-198.18.0.3-198.18.0.2-");
  sim::StageAddresses addresses;
  addresses.networkNamespace = stageNamespacePath;
  runner_ = std::make_unique<sim::ShowRunner>(addresses, options_.rate);
  program_ = std::make_unique<testing::TessevarProcess>(testing::TessevarProcess::Options{home_->path(), stage_.display()});
  if (!testing::endsWithBanner(program_->readStartUp(30s))) {
    problem = "the program did not start relaying";
    return false;
  }
  watch_ = std::make_unique<ProgramWatch>(*program_, start_);
  show_ = std::thread([this] { runner_->run(0s, 2s); });
  return true;
}

// Waits, within a bound, until the current editor has had a click and a key.
EditorInput Soak::awaitEditorInput() {
  const auto deadline = std::chrono::steady_clock::now() + editorPatience;
  EditorInput input = inputOf(stage_.editor());
  while ((input.clicks == 0 || input.keys == 0) && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(100ms);
    input = inputOf(stage_.editor());
  }
  return input;
}

void Soak::stopPeer(Side side) {
  say(std::string("the ") + sim::sideName(side) + " stops for 10 s");
  runner_->stopDevice(side);
  std::this_thread::sleep_for(10s);
  runner_->restartDevice(side, inFlight);
  say(std::string("the ") + sim::sideName(side) + " is back");
}

void Soak::dropLink() {
  say("en0 goes down for 5 s");
  const auto down = sim::Clock::now();
  const bool ok = runCommand({"ip", "link", "set", "en0", "down"});
  std::this_thread::sleep_for(5s);
  const bool back = runCommand({"ip", "link", "set", "en0", "up"}) &&
                    waitUntilOperational("en0", stageNamespace, "stage0", 10s);
  // The link is back when it carries datagrams again, not when the command returns.
  runner_->excuseLink(down - inFlight, sim::Clock::now(), "link back");
  say(back ? "en0 is up and carries datagrams" : "en0 did not come back");
  if (!ok || !back) check("en0 went down and came back", false, "ip link set failed");
}

void Soak::restartEditor() {
  say("the editor is killed and started again");
  std::string problem;
  const bool started = stage_.restartEditor(problem);
  const double at = now();
  const EditorInput input = started ? awaitEditorInput() : EditorInput{};
  say("the restarted editor has had " + std::to_string(input.clicks) + " clicks and " + std::to_string(input.keys) +
      " keys");
  notes_.push_back("restarted editor: " + std::to_string(input.clicks) + " clicks, " + std::to_string(input.keys) +
                   " keys within " + format("%.1f s", now() - at));
  check("clicks reach the restarted editor", input.clicks > 0, problem);
  check("keys reach the restarted editor", input.keys > 0, problem);
}

void Soak::restartXServer() {
  say("the X server is killed and started again on " + stage_.display());
  std::string problem;
  const bool started = stage_.restartServer(problem);
  const double at = now();
  const EditorInput input = started ? awaitEditorInput() : EditorInput{};
  say("the editor on the new X server has had " + std::to_string(input.clicks) + " clicks and " +
      std::to_string(input.keys) + " keys");
  notes_.push_back("editor on the restarted X server: " + std::to_string(input.clicks) + " clicks, " +
                   std::to_string(input.keys) + " keys within " + format("%.1f s", now() - at));
  check("clicks reach the editor on the restarted X server", input.clicks > 0, problem);
  check("keys reach the editor on the restarted X server", input.keys > 0, problem);
}

void Soak::sendCorpus() {
  say("malformed datagrams both ways");
  const std::vector<sim::Bytes> corpus = malformedCorpus();
  corpusSize_ = corpus.size();
  for (const sim::Bytes& bytes : corpus) {
    runner_->sendExtra(Side::surface, bytes);
    runner_->sendExtra(Side::mixer, bytes);
    std::this_thread::sleep_for(20ms);
  }
}

void Soak::floodPort() {
  say(std::string("a stranger at ") + strangerAddress + " floods the program's port for 3 s");
  flooded_ = flood(stageNamespacePath, strangerAddress, {10111, 10112, 40000}, "198.18.0.1", 10111, 3s, 20000);
  // From the mixer's address too, but not from its port.
  flooded_ += flood(stageNamespacePath, "198.18.0.3", {10112, 40000}, "198.18.0.1", 10111, 1s, 20000);
}

int Soak::run() {
  std::cout << "soak: " << options_.seconds << " s at " << options_.rate
            << " times a real show's rates; the program in the test network, the test editor under openbox"
            << std::endl;
  std::string problem;
  if (!setUp(problem)) {
    std::cout << "soak: cannot set up: " << problem << std::endl;
    check("the stage comes up", false, problem);
    return finish();
  }
  say("relaying; warming up");
  const double seconds = options_.seconds;
  const double warmUp = std::clamp(seconds * 0.1, 8.0, 60.0);
  const double tail = std::clamp(seconds * 0.1, 6.0, 60.0);
  const double faultTime = 10 + 10 + 5 + 2 + 3 + 1 + 4;
  const double gap = std::max(1.5, (seconds - warmUp - tail - faultTime) / 7);

  sleepUntil(warmUp);
  const EditorInput before = awaitEditorInput();
  check("clicks and keys reach the editor before any fault", before.clicks > 0 && before.keys > 0,
        std::to_string(before.clicks) + " clicks, " + std::to_string(before.keys) + " keys");
  warm_ = watch_->latest();

  stopPeer(Side::mixer);
  std::this_thread::sleep_for(std::chrono::duration<double>(gap));
  stopPeer(Side::surface);
  // The malformed datagrams come while an editor is there to be clicked
  // (1,000 display pairs are that many clicks); the X server goes last.
  for (auto fault : {&Soak::dropLink, &Soak::restartEditor, &Soak::sendCorpus, &Soak::floodPort,
                     &Soak::restartXServer}) {
    std::this_thread::sleep_for(std::chrono::duration<double>(gap));
    (this->*fault)();
  }
  sleepUntil(std::max(seconds, now() + tail));
  say("the show ends");
  runner_->stop();
  show_.join();
  return finish();
}

void Soak::report() {
  std::cout << "\nfigures:" << std::endl;
  for (Side from : {Side::surface, Side::mixer}) {
    for (const std::string& line : sim::describe(runner_->summary(from), from, start_)) std::cout << line << "\n";
  }
  const std::vector<ResourceSample> samples = watch_->samples();
  if (!samples.empty() && warm_) {
    long maxKb = 0;
    int maxFds = 0;
    for (const auto& s : samples) {
      maxKb = std::max(maxKb, s.residentKb);
      maxFds = std::max(maxFds, s.descriptors);
    }
    const ResourceSample& first = samples.front();
    const ResourceSample& last = samples.back();
    std::cout << "resident memory kB: start " << first.residentKb << ", after warm-up " << warm_->residentKb
              << ", end " << last.residentKb << ", highest " << maxKb << "\n"
              << "open descriptors: start " << first.descriptors << ", after warm-up " << warm_->descriptors
              << ", end " << last.descriptors << ", highest " << maxFds << "\n";
  }
  std::cout << "malformed datagrams: " << corpusSize_ << " each way; stranger's flood: " << flooded_
            << " datagrams\n";
  for (const std::string& note : notes_) std::cout << note << "\n";
  for (const std::string& socket : sockets_) std::cout << "program's socket " << socket << "\n";
  for (const std::string& line : watch_->said()) std::cout << "program said: " << line << "\n";
}

int Soak::finish() {
  if (program_) {
    watch_->stop();
    const std::vector<ResourceSample> samples = watch_->samples();
    sockets_ = udpSockets();  // while the program still has them
    bool quit = false;
    try {
      program_->type("q\n");
      quit = program_->waitForExit(10s) == 0;
    } catch (const std::exception&) {
    }
    check("the program ran throughout and quit with status 0 on q", quit);
    if (runner_) {
      report();
      for (Side from : {Side::surface, Side::mixer}) {
        const sim::DirectionSummary s = runner_->summary(from);
        const std::string way = std::string(sim::sideName(from)) + " -> " + sim::sideName(sim::otherSide(from)) + ": ";
        check(way + "nothing lost by the program", s.lost == 0, std::to_string(s.lost) + " lost");
        check(way + "nothing duplicated", s.duplicated == 0, std::to_string(s.duplicated) + " duplicated");
        check(way + "nothing reordered", s.reordered == 0, std::to_string(s.reordered) + " reordered");
        check(way + "nothing unexpected", s.unexpected == 0, std::to_string(s.unexpected) + " unexpected");
      }
      for (const char* what : {"mixer back", "X-Touch back", "link back"}) {
        double worst = 0;
        bool resumed = true;
        for (Side from : {Side::surface, Side::mixer}) {
          for (const sim::Recovery& r : runner_->summary(from).recoveries) {
            if (r.what != what) continue;
            resumed = resumed && r.after.has_value();
            if (r.after) worst = std::max(worst, std::chrono::duration<double>(*r.after).count());
          }
        }
        check(std::string("relaying within 1 s after ") + what, resumed && worst <= recoveryLimit,
              resumed ? format("%.3f s", worst) : "never");
      }
    }
    if (warm_ && !samples.empty()) {
      const ResourceSample& end = samples.back();
      check("resident memory flat after warm-up", end.residentKb <= warm_->residentKb + residentSlackKb,
            std::to_string(warm_->residentKb) + " kB -> " + std::to_string(end.residentKb) + " kB");
      check("open descriptors flat after warm-up", end.descriptors <= warm_->descriptors,
            std::to_string(warm_->descriptors) + " -> " + std::to_string(end.descriptors));
    }
  }
  int passed = 0;
  std::cout << "\nchecks:" << std::endl;
  for (const Check& c : checks_) {
    passed += c.passed ? 1 : 0;
    std::cout << (c.passed ? "  pass  " : "  FAIL  ") << c.name << (c.detail.empty() ? "" : " (" + c.detail + ")")
              << "\n";
  }
  const int failed = static_cast<int>(checks_.size()) - passed;
  std::cout << passed << " passed, " << failed << " failed" << std::endl;
  return failed == 0 ? 0 : 1;
}

bool parse(int argc, char** argv, Options& options) {
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string name = argv[i];
    const double value = std::atof(argv[i + 1]);
    if (name == "--seconds" && value > 0) {
      options.seconds = value;
    } else if (name == "--rate" && value > 0) {
      options.rate = value;
    } else {
      return false;
    }
  }
  return argc % 2 == 1;
}

}  // namespace
}  // namespace tessevar::soak

int main(int argc, char** argv) {
  tessevar::soak::Options options;
  if (!tessevar::soak::parse(argc, argv, options)) {
    std::cerr << "usage: tessevar-soak [--seconds S] [--rate R]   (run it through scripts/run-soak)" << std::endl;
    return 2;
  }
  if (std::getenv("TESSEVAR_TESTNET") == nullptr) {
    const char* why = std::getenv("TESSEVAR_TESTNET_WHY");
    std::cout << "soak skipped: no private network namespace: " << (why ? why : "not run through scripts/testnet")
              << std::endl;
    return 0;
  }
  signal(SIGPIPE, SIG_IGN);
  // As the namespace's first process it ignores signals it does not handle;
  // its end takes every process of the namespace with it.
  signal(SIGINT, [](int) { _exit(130); });
  signal(SIGTERM, [](int) { _exit(143); });
  return tessevar::soak::Soak(options).run();
}
