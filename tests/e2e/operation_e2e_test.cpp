#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>

#include "e2e/e2e_fixture.h"

namespace tessevar::testing {
namespace {

// Running the program as a service would: options, one copy, signals, no reader.
using OperationEndToEnd = ConfiguredStage;

TEST_F(OperationEndToEnd, SecondCopyIsRefusedWhileTheFirstKeepsRelaying) {
  startRelaying();
  TessevarProcess second({home.path(), ""});
  EXPECT_EQ(second.nextLine(), "Tessevar is already running as process " + std::to_string(tessevar->pid()) +
                                   ": only one copy can relay at a time");
  EXPECT_EQ(second.waitForExit(), 1);
  EXPECT_TRUE(relayedFromSurface({0x90, 0x10, 0x7F}));
}

TEST_F(OperationEndToEnd, ClosedOutputNeverEndsItAndATerminationSignalEndsItWithStatusZero) {
  for (const int signal : quitSignals()) {
    startRelaying();
    tessevar->closeOutput();
    EXPECT_TRUE(relayedFromMixer({0x90, 0x5A, 0x7F}));  // nothing the console prints, but the pipe is gone
    EXPECT_TRUE(relayedFromSurface({0x90, 0x10, 0x7F}));
    tessevar->signal(signal);
    EXPECT_EQ(tessevar->waitForExit(), 0) << "signal " << signal;
  }
}

// How the operator ends a program that is not relaying yet.
struct Ending {
  const char* name;
  const char* typed;  // or, when empty, the signal
  int signal;
};

class WaitingLinks : public StageTest, public ::testing::WithParamInterface<Ending> {};

// The links wait (another program holds the port without sharing it); each
// says why, and the operator can end the program meanwhile.
TEST_P(WaitingLinks, SayWhichAndWhyAndTheProgramCanBeEndedMeanwhile) {
  home.writeConfig(stageConfig());
  UdpPeer holder(tessevarAddress, linkPort, SocketOptions{false, 0});
  TessevarProcess tessevar({home.path(), ""});
  const std::string why = std::string("cannot use ") + tessevarAddress + " port 10111 (Address already in use)";
  const std::vector<std::string> lines = tessevar.linesUntil("mixer link waiting: " + why);
  EXPECT_EQ(std::ranges::count(lines, "waiting or failed"), 2);
  EXPECT_EQ(std::ranges::count(lines, "X-Touch link waiting: " + why), 1);
  if (*GetParam().typed != '\0') {
    tessevar.type(GetParam().typed);
  } else {
    tessevar.signal(GetParam().signal);
  }
  EXPECT_EQ(tessevar.nextLine(), "Exiting the program...");
  EXPECT_EQ(tessevar.waitForExit(), 0);
}

INSTANTIATE_TEST_SUITE_P(Endings, WaitingLinks,
                         ::testing::Values(Ending{"Q", "q\n", 0}, Ending{"Term", "", SIGTERM},
                                           Ending{"Interrupt", "", SIGINT}),
                         [](const auto& info) { return std::string(info.param.name); });

// A name that does not resolve: the waiting line says which setting holds it.
TEST_F(StageTest, AnAddressThatDoesNotResolveNamesItsSetting) {
  home.writeConfig(std::string("en0-mixer.invalid-") + surfaceAddress + "-");
  TessevarProcess tessevar({home.path(), ""});
  tessevar.linesUntil("waiting or failed");
  const std::optional<std::string> why = tessevar.nextLine();
  ASSERT_TRUE(why);
  EXPECT_TRUE(why->starts_with("mixer link waiting: the mixer address in the settings (mixer.invalid) cannot be used ("))
      << *why;
  tessevar.type("q\n");
  EXPECT_EQ(tessevar.waitForExit(), 0);
}

// A signal while the first start's setup waits for an answer.
TEST_F(StageTest, ASignalDuringTheFirstSetupEndsItWithStatusZero) {
  TessevarProcess tessevar({home.path(), ""});
  tessevar.linesUntil("enter the network port name please");
  tessevar.signal(SIGTERM);
  EXPECT_TRUE(endsWith(tessevar.linesUntil("Exiting the program..."), "Exiting the program..."));
  EXPECT_EQ(tessevar.waitForExit(), 0);
  EXPECT_FALSE(std::filesystem::exists(home.configFile()));
}

TEST_F(OperationEndToEnd, ALockThatCannotBeTakenIsSaidAndRelayingGoesOn) {
  std::filesystem::create_symlink("/tmp/elsewhere", home.path() / "tessevar.lock");
  const std::vector<std::string>& lines = startRelaying();
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.front(), "cannot make sure that only one copy relays: " + (home.path() / "tessevar.lock").string() +
                               " is a symbolic link; relaying goes on");
  EXPECT_TRUE(endsWithBanner(lines));
  EXPECT_TRUE(relayedFromSurface({0x90, 0x10, 0x7F}));
}

TEST_F(StageTest, FirstStartWithNobodyToAskSaysSoAndEndsWithStatusOne) {
  TessevarProcess tessevar({home.path(), ""});
  tessevar.closeInput();
  const std::string why = "no settings yet and no terminal to ask for them: run tessevar --setup in a terminal";
  EXPECT_TRUE(endsWith(tessevar.linesUntil(why), why));
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
  EXPECT_NE(std::ranges::find(lines, "enter the ip address of the X-Touch please"), lines.end());
  EXPECT_EQ(std::ranges::find(lines, "setting up connections..."), lines.end());
  EXPECT_EQ(home.readConfig(), "en0-192.0.2.10-192.0.2.20-");
}

TEST_F(OperationEndToEnd, VerboseSaysWhenEachPeerIsFirstHeard) {
  startRelaying(true);
  mixer->send({0xD0, 0x15});
  const std::optional<std::string> line = tessevar->nextLine();
  ASSERT_TRUE(line);
  EXPECT_TRUE(line->ends_with(" first datagram from the mixer (2 bytes)")) << *line;
}

}  // namespace
}  // namespace tessevar::testing
