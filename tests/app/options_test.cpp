#include "app/options.h"

#include <gtest/gtest.h>

#include <sstream>
#include <vector>

// --help, --version and the usage line of the real binary are checked on the
// packaged program by scripts/check-package.
namespace tessevar {
namespace {

using Action = Options::Action;

struct Case {
  const char* name;
  std::vector<std::string_view> arguments;
  Action action;
  bool setup = false;
  bool verbose = false;
};

class ParseOptions : public ::testing::TestWithParam<Case> {};

TEST_P(ParseOptions, GivesActionAndFlags) {
  const Case& c = GetParam();
  const Options options = parseOptions(c.arguments);
  EXPECT_EQ(options.action, c.action);
  EXPECT_EQ(options.setup, c.setup);
  EXPECT_EQ(options.verbose, c.verbose);
}

INSTANTIATE_TEST_SUITE_P(
    CommandLines, ParseOptions,
    ::testing::Values(Case{"none", {}, Action::run},
                    Case{"setup", {"--setup"}, Action::run, true},
                    Case{"verbose", {"--verbose"}, Action::run, false, true},
                    Case{"version", {"--version"}, Action::version},
                    Case{"help_wins", {"--version", "--help"}, Action::help},
                    Case{"short_forms", {"-V", "--verbose", "-h"}, Action::help, false, true},
                    Case{"short_version", {"-V"}, Action::version},
                    Case{"no_bundling", {"-hV"}, Action::usageError},
                    Case{"unknown_after_help", {"--help", "--bogus"}, Action::usageError},
                    Case{"with_value", {"--setup=yes"}, Action::usageError}),
    [](const ::testing::TestParamInfo<Case>& info) { return info.param.name; });

TEST(AnswerOptions, UnknownOptionIsOneLineNamingItOnStandardErrorWithStatus2) {
  std::ostringstream out;
  std::ostringstream err;
  EXPECT_EQ(answerOptions(parseOptions(std::vector<std::string_view>{"--colour"}), out, err), 2);
  EXPECT_EQ(out.str(), "");
  EXPECT_EQ(err.str().find('\n'), err.str().size() - 1) << err.str();
  EXPECT_NE(err.str().find("'--colour'"), std::string::npos) << err.str();
}

}  // namespace
}  // namespace tessevar
