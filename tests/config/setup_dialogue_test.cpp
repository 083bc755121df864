#include <gtest/gtest.h>

#include <fstream>

#include "config/config_harness.h"

namespace tessevar {
namespace {

using testing::ConfigHarness;
using testing::readBytes;

constexpr std::string_view noHints = "\n\nenter the network port name please\n\n\n";
constexpr std::string_view laterQuestions =
    "enter the ip address of the Mixer please\nenter the ip address of the X-Touch please\n";

struct HintCase {
  const char* name;
  PortNames ports;
  std::string_view intro;
};

class SetupHints : public ::testing::TestWithParam<HintCase> {};

TEST_P(SetupHints, TranscriptShowsTheNamesFoundAndTheFileHoldsTheAnswers) {
  ConfigHarness harness("en0\n192.0.2.10\n192.0.2.20\n");
  Configuration values;
  runSetup(values, GetParam().ports, harness.services());
  EXPECT_EQ(harness.console.str(),
            std::string(GetParam().intro) + std::string(laterQuestions) + harness.savedLines());
  EXPECT_EQ(values.mixerAddress, "192.0.2.10");
  EXPECT_EQ(readBytes(harness.configFile()), "en0-192.0.2.10-192.0.2.20-");
}

INSTANTIATE_TEST_SUITE_P(
    Ports, SetupHints,
    ::testing::Values(
        HintCase{"Both", PortNames{.ethernetPortName = "en0", .wifiPortName = "en1"},
                 "\n\nenter the network port name please\n\n"
                 "The port name for the Ethenert port on your system is: en0\n"
                 "The port name for the Wi-Fi port on your system is: en1\n\n"
                 "Please enter the port name that you wish to use\n"},
        HintCase{"None", PortNames{}, noHints},
        HintCase{"WifiOnly", PortNames{.ethernetPortName = "", .wifiPortName = "wlan0"},
                 "\n\nenter the network port name please\n\n"
                 "The port name for the Wi-Fi port on your system is: wlan0\n\n"
                 "Please enter the port name that you wish to use\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RunSetup, AnswersKeepEverythingButTheLineEnd) {
  ConfigHarness harness(" en0 \r\n\t192.0.2.10\xff\n192.0.2.20\r");
  Configuration values;
  runSetup(values, PortNames{}, harness.services());
  EXPECT_EQ(values.networkPortName, " en0 ");
  EXPECT_EQ(values.surfaceAddress, "192.0.2.20\r");  // last line, no line end: taken whole
  EXPECT_EQ(readBytes(harness.configFile()), " en0 -\t192.0.2.10\xEF\xBF\xBD-192.0.2.20\r-");
}

TEST(RunSetup, AnswerWithHyphenIsRefusedAndAskedAgain) {
  ConfigHarness harness("en-0\nen0\n192.0.2.10\n10-1\n-\n192.0.2.20\n");
  Configuration values;
  runSetup(values, PortNames{}, harness.services());
  const std::string refused = "a value must not contain - please enter it again\n";
  EXPECT_EQ(harness.console.str(), std::string(noHints) + refused +
                                       "enter the ip address of the Mixer please\n"
                                       "enter the ip address of the X-Touch please\n" +
                                       refused + refused + harness.savedLines());
  EXPECT_EQ(readBytes(harness.configFile()), "en0-192.0.2.10-192.0.2.20-");
}

TEST(RunSetup, EndOfInputKeepsTheOldFileAndTheAnswersGiven) {
  ConfigHarness harness("en0\n10.0.0.1\n1-2\n");
  testing::writeBytes(harness.configFile(), "old-1-2-");
  Configuration values{
      .networkPortName = "was-port", .mixerAddress = "was-mixer", .surfaceAddress = "was-surface"};
  runSetup(values, PortNames{}, harness.services());
  EXPECT_EQ(values.mixerAddress, "10.0.0.1");
  EXPECT_EQ(values.surfaceAddress, "was-surface");
  EXPECT_EQ(readBytes(harness.configFile()), "old-1-2-");
  EXPECT_EQ(harness.console.str().find("something"), std::string::npos);
}

TEST(RunSetup, WithoutDocumentsFolderWritesAndSaysNothing) {
  ConfigHarness harness("a\nb\nc\n");
  harness.documents.reset();
  Configuration values;
  runSetup(values, PortNames{}, harness.services());
  EXPECT_EQ(harness.console.str(), std::string(noHints) + std::string(laterQuestions));
  EXPECT_FALSE(std::filesystem::exists(harness.configFile()));
}

TEST(RunSetup, MissingDocumentsFolderIsCreated) {
  ConfigHarness harness("a\nb\nc\n");
  harness.documents = harness.folder.path() / "Documents";
  Configuration values;
  runSetup(values, PortNames{}, harness.services());
  EXPECT_EQ(readBytes(*harness.documents / "Tessevar.cfg"), "a-b-c-");
}

TEST(RunSetup, WriteFailureIsReportedAndTheAnswersStay) {
  ConfigHarness harness("a\nb\nc\n");
  // A plain file where the folder should be: no folder can be made there.
  harness.documents = harness.folder.path() / "not-a-folder";
  std::ofstream(*harness.documents) << "x";
  Configuration values;
  runSetup(values, PortNames{}, harness.services());
  EXPECT_EQ(harness.console.str(), std::string(noHints) + std::string(laterQuestions) +
                                       "something has gone wrong in the setup\ncannot read " +
                                       (*harness.documents / "Tessevar.cfg").string() + " (Not a directory)\n");
  EXPECT_EQ(values.surfaceAddress, "c");
}

}  // namespace
}  // namespace tessevar
