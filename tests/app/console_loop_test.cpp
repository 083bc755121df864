#include "app/console_loop.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "support/console_banner.h"

namespace tessevar {
namespace {

const std::string banner = testing::consoleBannerText();
const std::string restartNotice =
    " \n+---------------------------------------------------------+\n"
    "|Please restart the program for the changes to take effect|\n"
    "+---------------------------------------------------------+\n\nExiting the program...\n\n";

struct ConsoleRun {
  std::string output;
  std::string setupSawRest;  // what the setup would read first
  int setups = 0;
  int quits = 0;
  std::string unread;        // input left after the loop returned
};

ConsoleRun runConsole(const std::string& typed) {
  std::istringstream input(typed);
  std::ostringstream sink;
  LineOutput output(sink);
  StopSignal stop;
  ConsoleRun run;
  consoleLoop(input, output, stop, [&] {
    ++run.setups;
    std::getline(input, run.setupSawRest);
  });
  run.quits = stop.raised() ? 1 : 0;
  run.output = sink.str();
  std::getline(input, run.unread, '\0');
  return run;
}

struct Case {
  const char* name;
  std::string typed;
  std::string afterBanner;
  int setups;
  int quits;
  std::string setupSawRest;
  std::string unread;
};

class ConsoleCommands : public ::testing::TestWithParam<Case> {};

TEST_P(ConsoleCommands, ActOnTheFirstCommandLetter) {
  const Case& c = GetParam();
  const ConsoleRun run = runConsole(c.typed);
  EXPECT_EQ(run.output, c.afterBanner);
  EXPECT_EQ(run.setups, c.setups);
  EXPECT_EQ(run.quits, c.quits);
  EXPECT_EQ(run.setupSawRest, c.setupSawRest);
  EXPECT_EQ(run.unread, c.unread);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ConsoleCommands,
    ::testing::Values(
        // The line end after "q" is never read.
        Case{"q_enter", "q\n", "Exiting the program...\n", 0, 1, "", "\n"},
        Case{"upper_q", "Q\n", "Exiting the program...\n", 0, 1, "", "\n"},
        Case{"x_then_q", "xq\n", "Exiting the program...\n", 0, 1, "", "\n"},
        Case{"no_command_then_eof", "hello\n123\n", "", 0, 0, "", ""},
        // End of input stops the reading without quitting.
        Case{"eof_at_once", "", "", 0, 0, "", ""},
        // Exactly one character after the s is discarded before the setup.
        Case{"s_enter", "s\nen0\n", restartNotice, 1, 1, "en0", ""},
        Case{"upper_s", "S\nen0\n", restartNotice, 1, 1, "en0", ""},
        Case{"word_setup", "setup\n", restartNotice, 1, 1, "tup", ""},
        Case{"s_before_q", "asq\nq\n", restartNotice, 1, 1, "", "q\n"}),
    [](const ::testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

TEST(ConsoleLoop, BannerIsTheListeningLineAndTheBox) {
  std::ostringstream sink;
  LineOutput output(sink);
  printBanner(output);
  EXPECT_EQ(sink.str(), banner);
}

}  // namespace
}  // namespace tessevar
