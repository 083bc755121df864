#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "e2e/stage_peer.h"
#include "support/console_banner.h"
#include "support/tessevar_process.h"

namespace tessevar::testing {

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

  TempHome home;
};

}  // namespace tessevar::testing
