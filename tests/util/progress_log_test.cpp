#include "util/progress_log.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
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

TEST(ProgressLog, JournalStreamMustNameTheVeryFile) {
  FILE* file = std::tmpfile();
  struct stat info {};
  ASSERT_EQ(fstat(fileno(file), &info), 0);
  const std::string self = std::to_string(info.st_dev) + ":" + std::to_string(info.st_ino);
  const std::string other = std::to_string(info.st_dev) + ":" + std::to_string(info.st_ino + 1);
  const std::string trailing = self + "x";
  EXPECT_TRUE(isJournalStream(self.c_str(), fileno(file)));
  for (const char* value : {other.c_str(), "8:", trailing.c_str(), static_cast<const char*>(nullptr)}) {
    EXPECT_FALSE(isJournalStream(value, fileno(file))) << (value ? value : "unset");
  }
  std::fclose(file);
}

}  // namespace
}  // namespace tessevar
