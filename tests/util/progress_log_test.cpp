#include "util/progress_log.h"

#include <gtest/gtest.h>

#include <regex>
#include <sstream>

namespace tessevar {
namespace {

TEST(ProgressLog, TheJournalGetsPrioritiesAndNoTimeStampATerminalGetsTheTime) {
  std::ostringstream journal, terminal;
  ProgressLog(journal, ProgressLog::Format::journal).note("first datagram");
  ProgressLog(journal, ProgressLog::Format::journal).note("gone\x1B[2J", ProgressLog::Priority::warning);
  ProgressLog(terminal, ProgressLog::Format::timestamped).note("editor window lost");
  EXPECT_EQ(journal.str(), "<6>first datagram\n<4>gone\\x1B[2J\n");
  EXPECT_TRUE(std::regex_match(terminal.str(), std::regex(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3} editor window lost\n)")));
}

}  // namespace
}  // namespace tessevar
