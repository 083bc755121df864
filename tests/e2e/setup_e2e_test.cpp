#include <gtest/gtest.h>
#include <signal.h>

#include "e2e/e2e_fixture.h"
#include "support/child_process.h"
#include "support/eventually.h"

namespace tessevar::testing {
namespace {

TEST_F(StageTest, SetupFindsTheDevicesAndTakesThemByNumberAfterARefusedAnswer) {
  const pid_t devices = spawnProcess({TESSEVAR_SIM, "--standby", "--name", "Stage left", "--model", "XR18"});
  UdpPeer probe(tessevarAddress, 0);  // the devices are up once the mixer answers
  EXPECT_TRUE(eventually([&] {
    probe.sendTo(std::string("/xinfo\0\0,\0\0\0", 12), mixerAddress, 10024);
    return probe.receive(std::chrono::milliseconds(100)).has_value();
  }));
  TessevarProcess tessevar({home.path(), "", {"--setup"}});
  tessevar.linesUntil("enter the network port name please");
  tessevar.nextLine();  // the interfaces follow an empty line and end with one
  EXPECT_TRUE(mentions(tessevar.linesUntil(""), std::string(") en0: ") + tessevarAddress));
  tessevar.type("en9\nen0\n1\n1\n");
  EXPECT_EQ(tessevar.nextLine(), "this computer has no interface named \"en9\"; enter it again to keep it anyway");
  EXPECT_EQ(tessevar.nextLine(), "enter the network port name please");
  EXPECT_TRUE(mentions(tessevar.linesUntil("enter the ip address of the Mixer please"),
                       std::string("  1) ") + mixerAddress + ": Stage left, XR18, firmware 1.22"));
  const auto surfaces = tessevar.linesUntil("enter the ip address of the X-Touch please");
  EXPECT_TRUE(mentions(surfaces, "listening on en0 for the X-Touch: touch one of its faders or buttons now"));
  EXPECT_TRUE(mentions(surfaces, std::string("  1) ") + surfaceAddress));
  EXPECT_EQ(tessevar.waitForExit(), 0);
  EXPECT_EQ(home.readConfig(), std::string("en0-") + mixerAddress + "-" + surfaceAddress + "-");
  stopProcess(devices, SIGTERM);
}

// Under a service manager standard input is /dev/null: one line, no questions.
TEST_F(StageTest, WithNobodyToAnswerOneLineSaysWhatToDoAndNothingIsAsked) {
  for (const auto& [arguments, line] : std::vector<std::pair<std::vector<std::string>, std::string>>{
           {{}, "no settings yet and no terminal to ask for them: run tessevar --setup in a terminal"},
           {{"--setup"}, "nobody can answer the setup: standard input is closed or empty; run tessevar --setup in a terminal"}}) {
    TessevarProcess tessevar({.home = home.path(), .display = "", .arguments = arguments, .noInput = true});
    const std::vector<std::string> lines = tessevar.linesUntil(line);
    EXPECT_EQ(tessevar.waitForExit(), 1);
    EXPECT_TRUE(endsWith(lines, line));
    EXPECT_FALSE(mentions(lines, "enter the") || mentions(lines, "no config file")) << lines[0];
  }
  EXPECT_FALSE(std::filesystem::exists(home.configFile()));
}

}  // namespace
}  // namespace tessevar::testing
