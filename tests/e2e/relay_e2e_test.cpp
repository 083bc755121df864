#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "e2e/e2e_fixture.h"

namespace tessevar::testing {
namespace {

using RelayEndToEnd = StageTest;

bool isStateLine(const std::string& line) {
  return line == "setup" || line == "preparing" || line == "ready";
}

// How a start with settings echoes them before it sets the links up.
std::vector<std::string> settingsEcho() {
  return {"port: en0", std::string("Mixer ip: ") + mixerAddress, std::string("X-Touch ip: ") + surfaceAddress,
          "setting up connections..."};
}

TEST_F(RelayEndToEnd, StartsUpWithTheExactTranscript) {
  home.writeConfig(stageConfig());
  const std::vector<std::string>& lines = startProgram();
  ASSERT_GE(lines.size(), 5u + consoleBanner().size());
  EXPECT_EQ(lines[0].rfind("editor automation is off: no display could be opened", 0), 0u) << lines[0];
  EXPECT_EQ(std::vector(lines.begin() + 1, lines.begin() + 5), settingsEcho());
  const std::vector<std::string> states(lines.begin() + 5, lines.end() - static_cast<long>(consoleBanner().size()));
  EXPECT_TRUE(std::all_of(states.begin(), states.end(), isStateLine));
  EXPECT_EQ(std::count(states.begin(), states.end(), "ready"), 2);
  EXPECT_TRUE(endsWithBanner(lines));
}

TEST_F(RelayEndToEnd, RelaysEveryDatagramUnchangedBothWays) {
  home.writeConfig(stageConfig());
  startRelaying();
  const std::vector<Bytes> fromSurface = {{0x90, 0x10, 0x7F}, {0xE0, 0x00, 0x40}, {0xF0, 0x00, 0xF7},
                                          Bytes(1400, 0x42)};
  const std::vector<Bytes> fromMixer = {{0x90, 0x28, 0x7F, 0x29, 0x00}, {0xB0, 0x60, 0x06}, {0xD0, 0x15},
                                        Bytes(65507, 0x24)};
  for (const Bytes& d : fromSurface) surface->send(d);
  for (const Bytes& d : fromMixer) mixer->send(d);

  EXPECT_EQ(mixer->receiveAll(), fromSurface);
  EXPECT_EQ(surface->receiveAll(), fromMixer);
  tessevar->type("q\n");
  EXPECT_EQ(tessevar->waitForExit(), 0);
}

TEST_F(RelayEndToEnd, QuitEndsWithStatusZero) {
  home.writeConfig(stageConfig());
  startProgram();
  tessevar->type("q\n");
  EXPECT_EQ(tessevar->nextLine(), "Exiting the program...");
  EXPECT_EQ(tessevar->waitForExit(), 0);
}

TEST_F(RelayEndToEnd, KeepsRelayingAfterTheConsoleInputEnds) {
  home.writeConfig(stageConfig());
  startRelaying();
  tessevar->closeInput();
  EXPECT_TRUE(relayedFromSurface({0x90, 0x10, 0x7F}));
  EXPECT_EQ(tessevar->waitForExit(std::chrono::milliseconds(200)), std::nullopt);
}

TEST_F(RelayEndToEnd, SetupFromTheConsoleWritesTheFileAndEnds) {
  home.writeConfig(stageConfig());
  startProgram();
  tessevar->type("s\nen0\n192.0.2.10\n192.0.2.20\n");
  const std::vector<std::string> expected = {
      "", "", "enter the network port name please", "", "",
      "no mixer answered on en0 (UDP port 10024): check that it is switched on and connected to the network of "
      "en0, or type its address",
      "enter the ip address of the Mixer please",
      // The running Tessevar holds the X-Touch's port.
      "not listening for the X-Touch: UDP port 10111 on 198.18.0.1 is in use (by a running Tessevar or another "
      "program)",
      "enter the ip address of the X-Touch please",
      "settings saved in " + home.shownConfigFile(),
      "the previous settings are kept in " + home.shownConfigFile() + ".bak", " ",
      "+---------------------------------------------------------+",
      "|Please restart the program for the changes to take effect|",
      "+---------------------------------------------------------+", "", "Exiting the program...", ""};
  std::vector<std::string> lines;
  while (lines.size() < expected.size()) {
    const std::string line = tessevar->nextLine().value_or("<none>");
    if (!line.starts_with("  ")) lines.push_back(line);  // the interfaces listed, whose addresses vary
  }
  EXPECT_EQ(lines, expected);
  EXPECT_EQ(tessevar->waitForExit(), 0);
  EXPECT_EQ(home.readConfig(), "en0-192.0.2.10-192.0.2.20-");
  EXPECT_EQ(readBytes(home.configFile().string() + ".bak"), stageConfig());
}

// Names resolving to IPv4 peers: the links take en0's IPv4 address although
// IPv6 ones are listed after it. The namespace's own /etc/hosts names them.
TEST_F(RelayEndToEnd, PeersGivenByNameAreReachedInTheFamilyTheyResolveTo) {
  const auto hosts = home.path() / "hosts";
  writeBytes(hosts, std::string(mixerAddress) + " mixer\n" + surfaceAddress + " xtouch\n");
  ASSERT_EQ(std::system(("mount --bind " + hosts.string() + " /etc/hosts").c_str()), 0);
  ASSERT_EQ(std::system("ip -6 addr add fd00::1/64 dev en0 nodad"), 0);
  home.writeConfig("en0-mixer-xtouch-");
  startRelaying();
  EXPECT_TRUE(relayedFromSurface({0x90, 0x10, 0x7F}));
  EXPECT_TRUE(relayedFromMixer({0xB0, 0x60, 0x06}));
  tessevar->type("q\n");
  EXPECT_EQ(tessevar->waitForExit(), 0);
}

TEST_F(RelayEndToEnd, PortWithoutAddressSaysWhereTheSettingsAreAndEndsWithStatusOne) {
  home.writeConfig(std::string("nothere0-") + mixerAddress + "-" + surfaceAddress + "-");
  TessevarProcess tessevar({home.path(), ""});
  const std::vector<std::string> lines =
      tessevar.linesUntil("Check the network connection and restart the application");
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines[lines.size() - 2], "network cable may not be connected");
  EXPECT_EQ(tessevar.nextLine(),
            "settings are in " + home.shownConfigFile() + "; run tessevar --setup to change them");
  EXPECT_EQ(tessevar.waitForExit(), 1);
}

TEST_F(RelayEndToEnd, FirstStartAsksForTheSettingsAndTheNextStartEchoesThem) {
  {
    TessevarProcess tessevar({home.path(), ""});
    const std::vector<std::string> lines = tessevar.linesUntil("enter the network port name please");
    ASSERT_FALSE(lines.empty());
    EXPECT_NE(std::ranges::find(lines, "no config file -> entering setup..."), lines.end());
    tessevar.type(std::string("en0\n") + mixerAddress + "\n" + surfaceAddress + "\n");
    const std::vector<std::string> rest = tessevar.readStartUp();
    const auto saved = std::ranges::find(rest, "settings saved in " + home.shownConfigFile());
    ASSERT_NE(saved, rest.end());
    EXPECT_EQ(*std::prev(saved), "enter the ip address of the X-Touch please");
    EXPECT_TRUE(std::ranges::none_of(rest, [](const std::string& line) { return line.starts_with("the previous"); }));
    tessevar.type("q\n");
    EXPECT_EQ(tessevar.waitForExit(), 0);
  }
  EXPECT_EQ(home.readConfig(), stageConfig());
  TessevarProcess tessevar({home.path(), ""});
  const std::vector<std::string> lines = tessevar.linesUntil("setting up connections...");
  ASSERT_GE(lines.size(), 4u);
  EXPECT_EQ(std::vector(lines.end() - 4, lines.end()), settingsEcho());
}

}  // namespace
}  // namespace tessevar::testing
