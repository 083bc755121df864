#include "system/command_runner.h"

#include <unistd.h>

#include <gtest/gtest.h>

namespace tessevar {
namespace {

TEST(LocateTool, FindsAnInstalledToolAndNotAMissingOne) {
  const auto ps = locateTool("ps");
  ASSERT_TRUE(ps);
  EXPECT_EQ(::access(ps->c_str(), X_OK), 0) << *ps;
  EXPECT_FALSE(locateTool("tessevar-no-such-tool"));
}

struct WhereisCase {
  const char* name;
  std::string_view output;
  std::optional<std::string> expected;
};

class ToolPathFromWhereis : public ::testing::TestWithParam<WhereisCase> {};

TEST_P(ToolPathFromWhereis, TakesTheToolsPath) {
  EXPECT_EQ(toolPathFromWhereis(GetParam().output, "ps"), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Outputs, ToolPathFromWhereis,
    ::testing::Values(WhereisCase{"BarePath", " /bin/ps\xC2\xA0\r\n", "/bin/ps"},
                      WhereisCase{"LinuxStyle", "ps: /usr/bin/ps /usr/share/man/man1/ps.1.gz\n",
                                  "/usr/bin/ps"},
                      WhereisCase{"LinuxNothingFound", "ps:\n", std::nullopt},
                      WhereisCase{"LinuxWordEndsInUnicodeSpace", "ps: /bin/ps\xC2\xA0 /x\n", "/bin/ps"},
                      WhereisCase{"Empty", "\n", std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tessevar
