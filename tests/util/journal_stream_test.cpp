#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <string>

#include "util/progress_log.h"

namespace tessevar {
namespace {

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
