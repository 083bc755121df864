#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "config/config_harness.h"

namespace tessevar {
namespace {

using testing::ConfigHarness;
using testing::readBytes;
using testing::addressQuestions;
using testing::setupQuestions;

constexpr std::string_view noHints = "\n\nenter the network port name please\n\n\n";

struct HintCase {
  const char* name;
  PortNames ports;
  std::string hints;
};

class SetupHints : public ::testing::TestWithParam<HintCase> {};

TEST_P(SetupHints, TranscriptShowsTheNamesFoundAndTheFileHoldsTheAnswers) {
  ConfigHarness harness("en0\n192.0.2.10\n192.0.2.20\n");
  EXPECT_EQ(harness.setUp(GetParam().ports).mixerAddress, "192.0.2.10");
  EXPECT_EQ(harness.console.str(), setupQuestions(GetParam().hints) + harness.savedLines());
  EXPECT_EQ(harness.saved(), "en0-192.0.2.10-192.0.2.20-");
}

INSTANTIATE_TEST_SUITE_P(
    Ports, SetupHints,
    ::testing::Values(HintCase{"Both", PortNames{.ethernetPortName = "en0", .wifiPortName = "en1"},
                               "The port name for the Ethenert port on your system is: en0\n"
                               "The port name for the Wi-Fi port on your system is: en1\n"},
                      HintCase{"None", PortNames{}, ""},
                      HintCase{"WifiOnly", PortNames{.ethernetPortName = "", .wifiPortName = "wlan0"},
                               "The port name for the Wi-Fi port on your system is: wlan0\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RunSetup, AnswersKeepEverythingButTheLineEnd) {
  ConfigHarness harness(" en0 \r\n192.0.2.10\xff\n192.0.2.20");
  const Configuration values = harness.setUp();
  EXPECT_EQ(values.networkPortName, " en0 ");
  EXPECT_EQ(values.surfaceAddress, "192.0.2.20");  // last line, no line end: taken whole
  EXPECT_EQ(harness.saved(), " en0 -192.0.2.10\xEF\xBF\xBD-192.0.2.20-");
}

TEST(RunSetup, AnswerWithHyphenIsRefusedAndAskedAgain) {
  ConfigHarness harness("en-0\nen0\n192.0.2.10\n10-1\n-\n192.0.2.20\n");
  harness.setUp();
  const std::string refused = "Tessevar.cfg separates its values with - so a host name with - cannot be kept; "
                              "please enter its IP address\nenter the ip address of the X-Touch please\n";
  EXPECT_EQ(harness.console.str(), std::string(noHints) +
                                       "a value must not contain - please enter it again\n"
                                       "enter the network port name please\n" +
                                       std::string(addressQuestions) + refused + refused + harness.savedLines());
  EXPECT_EQ(harness.saved(), "en0-192.0.2.10-192.0.2.20-");
}

TEST(RunSetup, ShowsWhatItFindsSafelyAndTakesAListedEntryByItsNumber) {
  ConfigHarness harness("1\n2\n1\n");
  harness.useStageNetwork();
  harness.mixers = std::vector<MixerReply>{{"198.18.0.3", {"198.18.0.3", "Stage left", "XR18", "1.22"}},
                                           {"198.18.0.4", {"", "\x1B]0;owned\x07", std::string(70, 'M'), ""}}};
  harness.surfaces = std::vector<std::string>{"198.18.0.2"};
  harness.setUp();
  EXPECT_EQ(harness.console.str(),
            "\n\nenter the network port name please\n\n"
            "  1) en0: 198.18.0.1, fe80::1%en0\n\n"
            "  1) 198.18.0.3: Stage left, XR18, firmware 1.22\n"
            "  2) 198.18.0.4: \\x1B]0;owned\\x07, " + std::string(64, 'M') + "...\n"
            "enter the ip address of the Mixer please\n"
            "listening on en0 for the X-Touch: touch one of its faders or buttons now\n"
            "  1) 198.18.0.2\n"
            "enter the ip address of the X-Touch please\n" + harness.savedLines());
  EXPECT_EQ(harness.saved(), "en0-198.18.0.4-198.18.0.2-");
}

struct RefusalCase {
  const char* name;
  std::string typed;
  std::vector<std::string> refusals;  // each followed by its question again
  std::string file;
};

class SetupRefusals : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(SetupRefusals, SayWhyAskAgainAndTakeADoubtfulAnswerGivenTwiceInARow) {
  ConfigHarness harness(GetParam().typed);
  harness.useStageNetwork();
  harness.setUp();
  std::string expected;
  for (const std::string& refusal : GetParam().refusals) expected += refusal + "\n";
  std::string refused;
  std::istringstream lines(harness.console.str());
  for (std::string line; std::getline(lines, line);) {
    if (line.find("enter it again") != std::string::npos || line.ends_with("enter its IP address")) {
      refused += line + "\n";
    }
  }
  EXPECT_EQ(refused, expected);
  EXPECT_EQ(harness.saved(), GetParam().file);
}

const std::string again = "; enter it again to keep it anyway";
std::string noInterface(const std::string& name) {
  return "this computer has no interface named \"" + name + "\"" + again;
}
const std::string controlCharacter = "control characters cannot be kept in a setting; please enter it again";

INSTANTIATE_TEST_SUITE_P(
    Answers, SetupRefusals,
    ::testing::Values(
        RefusalCase{"MissingInterfaceTakenWhenRepeated", "eth9\neth9\n198.18.0.3\n198.18.0.2\n",
                    {noInterface("eth9")}, "eth9-198.18.0.3-198.18.0.2-"},
        RefusalCase{"OnlyTheSameAnswerTwiceInARow", "eth9\neth8\neth9\neth9\n198.18.0.3\nmixer.lan\n",
                    {noInterface("eth9"), noInterface("eth8"), noInterface("eth9")}, "eth9-198.18.0.3-mixer.lan-"},
        RefusalCase{"NotAnAddressNorAName", "en0\n198.18.0.300\nmixer.lan\nhello\n198.18.0.2\n",
                    {"198.18.0.300 is not an IPv4 address (four numbers from 0 to 255 with dots between)" + again,
                     "\"hello\" is neither an IPv4 or IPv6 address nor a name that resolves" + again},
                    "en0-mixer.lan-198.18.0.2-"},
        RefusalCase{"ControlCharactersNeverTaken", "en\x1B" "0\nen0\n198.18.0.3\t\n198.18.0.3\t\n198.18.0.3\n"
                    "198.18.0.2\n",
                    std::vector(3, controlCharacter), "en0-198.18.0.3-198.18.0.2-"},
        RefusalCase{"TooLong", std::string(5000, 'a') + "\nen0\n198.18.0.3\n198.18.0.2\n",
                    {"that answer is longer than 1024 bytes; please enter it again"}, "en0-198.18.0.3-198.18.0.2-"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RunSetup, EndOfInputKeepsTheOldFileAndTheAnswersGiven) {
  ConfigHarness harness("en0\n10.0.0.1\n1-2\n");
  testing::writeBytes(harness.configFile(), "old-1-2-");
  const Configuration values = harness.setUp(
      {}, {.networkPortName = "was-port", .mixerAddress = "was-mixer", .surfaceAddress = "was-surface"});
  EXPECT_EQ(values.mixerAddress, "10.0.0.1");
  EXPECT_EQ(values.surfaceAddress, "was-surface");
  EXPECT_EQ(harness.saved(), "old-1-2-");
  EXPECT_EQ(harness.console.str().find("something"), std::string::npos);
}

TEST(RunSetup, WithoutDocumentsFolderWritesAndSaysNothing) {
  ConfigHarness harness("a\nb\nc\n");
  harness.documents.reset();
  harness.setUp();
  EXPECT_EQ(harness.console.str(), setupQuestions());
  EXPECT_FALSE(std::filesystem::exists(harness.configFile()));
}

TEST(RunSetup, MissingDocumentsFolderIsCreated) {
  ConfigHarness harness("a\nb\nc\n");
  harness.documents = harness.folder.path() / "Documents";
  harness.setUp();
  EXPECT_EQ(readBytes(*harness.documents / "Tessevar.cfg"), "a-b-c-");
}

TEST(RunSetup, WriteFailureIsReportedAndTheAnswersStay) {
  ConfigHarness harness("a\nb\nc\n");
  // A plain file where the folder should be: no folder can be made there.
  harness.documents = harness.folder.path() / "not-a-folder";
  std::ofstream(*harness.documents) << "x";
  EXPECT_EQ(harness.setUp().surfaceAddress, "c");
  EXPECT_EQ(harness.console.str(), setupQuestions() +
                                       "something has gone wrong in the setup\ncannot read " +
                                       (*harness.documents / "Tessevar.cfg").string() + " (Not a directory)\n");
}

}  // namespace
}  // namespace tessevar
