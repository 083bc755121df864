#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "e2e/stage_peer.h"
#include "e2e/tessevar_process.h"

namespace tessevar::e2e {

// Skips unless the test runs inside the stage network of scripts/testnet.
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

  static const std::vector<std::string>& banner() {
    static const std::vector<std::string> lines = {
        "now listening...", " ", " ",
        "+---------------------------------------------------+",
        "|Press q + enter to quit or s + enter to enter setup|",
        "+---------------------------------------------------+"};
    return lines;
  }

  // Reads the start-up up to the end of the console banner.
  static std::vector<std::string> readStartUp(TessevarProcess& tessevar) {
    std::vector<std::string> lines = tessevar.linesUntil(banner().front());
    for (std::size_t i = 1; i < banner().size(); ++i) {
      if (auto line = tessevar.nextLine()) lines.push_back(*line);
    }
    return lines;
  }

  TempHome home;
};

}  // namespace tessevar::e2e
