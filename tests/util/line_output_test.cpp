#include "util/line_output.h"

#include <gtest/gtest.h>

#include <sstream>
#include <thread>
#include <vector>

namespace tessevar {
namespace {

TEST(LineOutput, LinesFromManyThreadsNeverInterleave) {
  std::ostringstream sink;
  LineOutput out(sink);
  std::vector<std::thread> writers;
  for (int t = 0; t < 4; ++t) {
    writers.emplace_back([&out, t] {
      for (int i = 0; i < 200; ++i) out.lines({std::string(40, static_cast<char>('a' + t)), "-"});
    });
  }
  for (auto& w : writers) w.join();
  std::istringstream in(sink.str());
  std::string first, second;
  int blocks = 0;
  while (std::getline(in, first) && std::getline(in, second)) {
    ASSERT_EQ(first.size(), 40u);
    ASSERT_EQ(first.find_first_not_of(first[0]), std::string::npos);
    ASSERT_EQ(second, "-");
    ++blocks;
  }
  EXPECT_EQ(blocks, 800);
}

}  // namespace
}  // namespace tessevar
