#include <gtest/gtest.h>

#include "config/config_harness.h"

namespace tessevar {
namespace {

using testing::ConfigHarness;
using testing::writeBytes;

const std::string setupTranscript =
    testing::setupQuestions("The port name for the Ethenert port on your system is: en0\n");

// Loads with a refreshEditorWindow that leaves its mark in the console, so the
// transcripts show whether and when it ran.
Configuration load(ConfigHarness& harness, PortNames& ports) {
  Configuration values;
  loadConfiguration(values, ports, harness.services(),
                    [&harness] { harness.output.line("<editor prepared>"); });
  return values;
}

Configuration load(ConfigHarness& harness) {
  PortNames ports;
  return load(harness, ports);
}

struct FileCase {
  const char* name;
  std::string bytes;
  std::string echo;
};

class LoadFromFile : public ::testing::TestWithParam<FileCase> {};

TEST_P(LoadFromFile, EchoesTheValuesThenPreparesTheEditor) {
  ConfigHarness harness;
  writeBytes(harness.configFile(), GetParam().bytes);
  load(harness);
  EXPECT_EQ(harness.console.str(), GetParam().echo + "<editor prepared>\n");
}

INSTANTIATE_TEST_SUITE_P(
    Files, LoadFromFile,
    ::testing::Values(
        FileCase{"WrittenBySetup", "en0-192.0.2.10-192.0.2.20-",
                 "port: en0\nMixer ip: 192.0.2.10\nX-Touch ip: 192.0.2.20\n"},
        FileCase{"SpacesAndMalformedUtf8Kept", " en\xff" "0 --b",
                 "port:  en\xEF\xBF\xBD" "0 \nMixer ip: \nX-Touch ip: b\n"},
        // A file cannot drive the terminal through the echo.
        FileCase{"ControlsShownEscaped", "en0\x1B]0;x\x07-192.0.2.10\r\n-\xC2\x9B" "2J-",
                 "port: en0\\x1B]0;x\\x07\nMixer ip: 192.0.2.10\\r\\n\nX-Touch ip: \\u009B2J\n"}),
    [](const auto& info) { return std::string(info.param.name); });

struct SetupCase {
  const char* name;
  std::optional<std::string> fileBytes;  // nothing: no file at all
};

class LoadIntoSetup : public ::testing::TestWithParam<SetupCase> {};

TEST_P(LoadIntoSetup, RunsTheSetupWithTheDiscoveredHintsAndWritesTheFile) {
  ConfigHarness harness("en0\n192.0.2.10\n192.0.2.20\n");
  harness.discovered = PortNames{.ethernetPortName = "en0", .wifiPortName = ""};
  if (GetParam().fileBytes) writeBytes(harness.configFile(), *GetParam().fileBytes);
  const Configuration values = load(harness);
  // A file too short to load is still kept before it is replaced.
  EXPECT_EQ(harness.console.str(), "no config file -> entering setup...\n" +
                                       setupTranscript +
                                       harness.savedLines(GetParam().fileBytes.has_value()) +
                                       "<editor prepared>\n");
  EXPECT_EQ(values.surfaceAddress, "192.0.2.20");
  EXPECT_EQ(harness.saved(), "en0-192.0.2.10-192.0.2.20-");
}

INSTANTIATE_TEST_SUITE_P(Files, LoadIntoSetup,
                         ::testing::Values(SetupCase{"Missing", std::nullopt},
                                           SetupCase{"OneHyphen", "en0-"}),
                         [](const auto& info) { return std::string(info.param.name); });

// Read no further than a settings file can sensibly be: a huge one costs no
// memory, and the operator learns which file it was.
TEST(LoadConfiguration, AFileTooLargeIsNamedWithItsSizeAndTheSetupRuns) {
  ConfigHarness harness("en0\n192.0.2.10\n192.0.2.20\n");
  writeBytes(harness.configFile(), std::string(10 << 20, '-'));
  load(harness);
  EXPECT_TRUE(harness.console.str().starts_with(harness.configFile().string() +
                                                " is 10485760 bytes, more than the 65536 bytes it may hold\n"
                                                "no config file -> entering setup...\n"))
      << harness.console.str().substr(0, 200);
  EXPECT_EQ(harness.saved(), "en0-192.0.2.10-192.0.2.20-");
}

// Under a service manager nobody answers: loading says it has no settings.
TEST(LoadConfiguration, NoFileAndNoAnswersMeansNoSettings) {
  ConfigHarness harness;
  bool prepared = false;
  Configuration values;
  PortNames ports;
  EXPECT_FALSE(loadConfiguration(values, ports, harness.services(), [&] { prepared = true; }));
  EXPECT_FALSE(prepared);
  EXPECT_FALSE(std::filesystem::exists(harness.configFile()));
}

TEST(LoadConfiguration, FailedDiscoveryIsSaidFirstAndLeavesTheNames) {
  ConfigHarness harness("\n\n\n");
  harness.discovered.reset();
  PortNames ports{.ethernetPortName = "kept", .wifiPortName = ""};
  load(harness, ports);
  EXPECT_EQ(ports.ethernetPortName, "kept");
  EXPECT_TRUE(harness.console.str().starts_with(
      "Cannot find the network port names\nno config file -> entering setup...\n\n\n"))
      << harness.console.str();
}

TEST(LoadConfiguration, WithoutDocumentsFolderStillPreparesTheEditor) {
  ConfigHarness harness("never read\n");
  harness.documents.reset();
  const Configuration values = load(harness);
  EXPECT_EQ(harness.console.str(), "<editor prepared>\n");
  EXPECT_EQ(values.networkPortName, "");
  EXPECT_EQ(harness.input.tellg(), 0);
}

}  // namespace
}  // namespace tessevar
