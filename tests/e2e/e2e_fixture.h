#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "e2e/stage_peer.h"
#include "platform/desktop.h"
#include "support/console_banner.h"
#include "support/eventually.h"
#include "support/tessevar_process.h"

namespace tessevar::testing {

// How many of `lines` contain `part`.
inline long countMentions(const std::vector<std::string>& lines, const std::string& part) {
  return std::ranges::count_if(lines, [&](const std::string& line) { return line.find(part) != std::string::npos; });
}

inline bool mentions(const std::vector<std::string>& lines, const std::string& part) {
  return countMentions(lines, part) > 0;
}

// Whether the lines read end with `last` (readers stop early at a timeout).
inline ::testing::AssertionResult endsWith(const std::vector<std::string>& lines, const std::string& last) {
  if (!lines.empty() && lines.back() == last) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << (lines.empty() ? "no line came" : "the last line read: " + lines.back());
}

// What the program says once it has found the editor's window at `bounds`.
inline std::string foundLine(const Rect& bounds) {
  const auto number = [](double value) { return std::to_string(std::lround(value)); };
  return "editor window found: X-AIR-Edit at " + number(bounds.x) + "," + number(bounds.y) + " size " +
         number(bounds.width) + "x" + number(bounds.height);
}

// Whether `datagram`, sent by one device, reaches the other unchanged.
inline ::testing::AssertionResult relays(StagePeer& from, StagePeer& to, const Bytes& datagram) {
  from.send(datagram);
  const std::optional<Bytes> arrived = to.receive();
  if (arrived == datagram) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "sent " << ::testing::PrintToString(datagram) << ", received "
                                       << ::testing::PrintToString(arrived);
}

// Skips unless the test runs inside the stage network of scripts/testnet.
// Tests that relay start both devices and then the program between them.
class StageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (std::getenv("TESSEVAR_TESTNET") == nullptr) {
      const char* why = std::getenv("TESSEVAR_TESTNET_WHY");
      GTEST_SKIP() << "no private network namespace: " << (why ? why : "not run through scripts/testnet");
    }
  }

  static std::string stageConfig() {
    return std::string("en0-") + mixerAddress + "-" + surfaceAddress + "-";
  }

  void startDevices() {
    surface.emplace(surfaceAddress);
    mixer.emplace(mixerAddress);
  }

  // The program on `display` (none when empty), with --verbose and its
  // progress lines read with the rest if `verbose`: its start-up.
  const std::vector<std::string>& startProgram(const std::string& display = "", bool verbose = false,
                                               std::chrono::milliseconds wait = std::chrono::seconds(10)) {
    tessevar.emplace(TessevarProcess::Options{
        home.path(), display, verbose ? std::vector<std::string>{"--verbose"} : std::vector<std::string>{}, verbose});
    heard = tessevar->readStartUp(wait);
    return heard;
  }

  const std::vector<std::string>& startRelaying(bool verbose = false) {
    startDevices();
    return startProgram("", verbose);
  }

  ::testing::AssertionResult relayedFromSurface(const Bytes& datagram) { return relays(*surface, *mixer, datagram); }
  ::testing::AssertionResult relayedFromMixer(const Bytes& datagram) { return relays(*mixer, *surface, datagram); }

  // Sends `datagram` from the mixer (and takes it at the surface) a few
  // times a second until `done`: the program needs a moment to find a
  // desktop or an editor that came back, or to judge an activation.
  bool sendUntil(const Bytes& datagram, const std::function<bool()>& done, int attempts = 80) {
    for (int attempt = 0; attempt < attempts; ++attempt) {
      if (!relayedFromMixer(datagram)) {
        ADD_FAILURE() << "the program no longer relays";
        return false;
      }
      if (eventually(done, std::chrono::milliseconds(250))) return true;
    }
    return false;
  }

  // Whether the program has said a line containing `text`, reading what it
  // said since the last look.
  bool said(const std::string& text) {
    while (const std::optional<std::string> line = tessevar->nextLine(std::chrono::milliseconds(10))) {
      heard.push_back(*line);
    }
    return mentions(heard, text);
  }

  TempHome home;
  std::optional<StagePeer> surface, mixer;
  std::optional<TessevarProcess> tessevar;
  std::vector<std::string> heard;  // what the program said, as far as read
};

// The stage with its settings written, as a start after the setup finds it.
class ConfiguredStage : public StageTest {
 protected:
  void SetUp() override {
    StageTest::SetUp();
    if (!IsSkipped()) home.writeConfig(stageConfig());
  }
};

}  // namespace tessevar::testing
