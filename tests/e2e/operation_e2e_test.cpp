#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>

#include "e2e/e2e_fixture.h"

namespace tessevar::testing {
namespace {

// Running the program as a service would: options, one copy, signals, no reader.
class OperationEndToEnd : public StageTest {
 protected:
  void SetUp() override {
    StageTest::SetUp();
    if (IsSkipped()) return;
    home.writeConfig(stageConfig());
  }
};

TEST_F(OperationEndToEnd, SecondCopyIsRefusedWhileTheFirstKeepsRelaying) {
  StagePeer surface(surfaceAddress), mixer(mixerAddress);
  TessevarProcess first({home.path(), ""});
  first.readStartUp();
  TessevarProcess second({home.path(), ""});
  EXPECT_EQ(second.nextLine(),
            "Tessevar is already running as process " + std::to_string(first.pid()) +
                ": only one copy can relay at a time");
  EXPECT_EQ(second.waitForExit(), 1);
  surface.send({0x90, 0x10, 0x7F});
  EXPECT_EQ(mixer.receive(), (Bytes{0x90, 0x10, 0x7F}));
}

TEST_F(OperationEndToEnd, ClosedOutputNeverEndsItAndATerminationSignalEndsItWithStatusZero) {
  for (const int signal : {SIGTERM, SIGINT}) {
    StagePeer surface(surfaceAddress), mixer(mixerAddress);
    TessevarProcess tessevar({home.path(), ""});
    tessevar.readStartUp();
    tessevar.closeOutput();
    mixer.send({0x90, 0x5A, 0x7F});  // nothing the console prints, but the pipe is gone
    surface.send({0x90, 0x10, 0x7F});
    EXPECT_EQ(mixer.receive(), (Bytes{0x90, 0x10, 0x7F}));
    EXPECT_EQ(surface.receive(), (Bytes{0x90, 0x5A, 0x7F}));
    tessevar.signal(signal);
    EXPECT_EQ(tessevar.waitForExit(), 0) << "signal " << signal;
  }
}

TEST_F(OperationEndToEnd, ALinkThatCannotOpenSaysWhichAndWhy) {
  // Another program holds the port without sharing it.
  UdpPeer holder(tessevarAddress, linkPort, SocketOptions{false, 0});
  TessevarProcess tessevar({home.path(), ""});
  const std::string why = std::string("cannot use ") + tessevarAddress + " port 10111 (Address already in use)";
  // The links come up on threads of their own: their lines come in any order.
  std::vector<std::string> lines;
  const auto said = [&lines](const std::string& line) { return std::count(lines.begin(), lines.end(), line); };
  while (said("X-Touch link waiting: " + why) + said("mixer link waiting: " + why) < 2) {
    const std::optional<std::string> line = tessevar.nextLine();
    ASSERT_TRUE(line) << "both links should say why they wait";
    lines.push_back(*line);
  }
  EXPECT_EQ(said("waiting or failed"), 2);
}

TEST_F(StageTest, FirstStartWithNobodyToAskSaysSoAndEndsWithStatusOne) {
  TessevarProcess tessevar({home.path(), ""});
  tessevar.closeInput();
  const std::vector<std::string> lines =
      tessevar.linesUntil("no settings yet and no terminal to ask for them: run tessevar --setup in a terminal");
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.back(), "no settings yet and no terminal to ask for them: run tessevar --setup in a terminal");
  EXPECT_EQ(tessevar.waitForExit(), 1);
  EXPECT_FALSE(std::filesystem::exists(home.configFile()));
}

TEST_F(OperationEndToEnd, SetupOptionWritesTheFileAndOpensNoLink) {
  TessevarProcess tessevar({home.path(), "", {"--setup"}});
  tessevar.type("en0\n192.0.2.10\n192.0.2.20\n");
  tessevar.closeInput();
  EXPECT_EQ(tessevar.waitForExit(), 0);
  std::vector<std::string> lines;
  while (auto line = tessevar.nextLine(std::chrono::milliseconds(100))) lines.push_back(*line);
  EXPECT_NE(std::find(lines.begin(), lines.end(), "enter the ip address of the X-Touch please"), lines.end());
  EXPECT_EQ(std::find(lines.begin(), lines.end(), "setting up connections..."), lines.end());
  EXPECT_EQ(home.readConfig(), "en0-192.0.2.10-192.0.2.20-");
}

TEST_F(OperationEndToEnd, VerboseSaysWhenEachPeerIsFirstHeard) {
  StagePeer surface(surfaceAddress), mixer(mixerAddress);
  TessevarProcess tessevar({home.path(), "", {"--verbose"}, true});
  tessevar.readStartUp();
  mixer.send({0xD0, 0x15});
  const std::optional<std::string> line = tessevar.nextLine();
  ASSERT_TRUE(line);
  EXPECT_TRUE(line->ends_with(" first datagram from the mixer (2 bytes)")) << *line;
}

}  // namespace
}  // namespace tessevar::testing
