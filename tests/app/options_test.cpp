#include "app/options.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

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

class ParseOptions : public testing::TestWithParam<Case> {};

TEST_P(ParseOptions, GivesActionAndFlags) {
  const Case& c = GetParam();
  const Options options = parseOptions(c.arguments);
  EXPECT_EQ(options.action, c.action);
  if (c.action == Action::usageError) return;
  EXPECT_EQ(options.setup, c.setup);
  EXPECT_EQ(options.verbose, c.verbose);
}

INSTANTIATE_TEST_SUITE_P(
    CommandLines, ParseOptions,
    testing::Values(Case{"none", {}, Action::run},
                    Case{"setup", {"--setup"}, Action::run, true},
                    Case{"verbose", {"--verbose"}, Action::run, false, true},
                    Case{"both_flags", {"--verbose", "--setup"}, Action::run, true, true},
                    Case{"help", {"--help"}, Action::help},
                    Case{"version", {"--version"}, Action::version},
                    Case{"help_wins", {"--version", "--setup", "--help"}, Action::help, true},
                    Case{"unknown", {"--bogus"}, Action::usageError},
                    Case{"unknown_after_help", {"--help", "--bogus"}, Action::usageError},
                    Case{"short_form", {"-h"}, Action::usageError},
                    Case{"with_value", {"--setup=yes"}, Action::usageError},
                    Case{"bare_word", {"setup"}, Action::usageError},
                    Case{"empty", {""}, Action::usageError}),
    [](const testing::TestParamInfo<Case>& info) { return info.param.name; });

struct Answer {
  int status;
  std::string out;
  std::string err;
};

Answer answer(std::vector<std::string_view> arguments) {
  std::ostringstream out;
  std::ostringstream err;
  const int status = answerOptions(parseOptions(arguments), out, err);
  return {status, out.str(), err.str()};
}

TEST(AnswerOptions, HelpNamesEveryOptionOnStandardOutput) {
  const Answer help = answer({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_EQ(help.err, "");
  for (const char* option : {"--help", "--version", "--setup", "--verbose"}) {
    EXPECT_NE(help.out.find(option), std::string::npos) << option;
  }
}

TEST(AnswerOptions, UnknownOptionIsOneUsageLineOnStandardErrorWithStatus2) {
  const Answer wrong = answer({"--setup", "--colour"});
  EXPECT_EQ(wrong.status, 2);
  EXPECT_EQ(wrong.out, "");
  EXPECT_EQ(wrong.err.find('\n'), wrong.err.size() - 1) << wrong.err;
  EXPECT_NE(wrong.err.find("'--colour'"), std::string::npos) << wrong.err;
  EXPECT_NE(wrong.err.find("usage: tessevar"), std::string::npos) << wrong.err;
}

}  // namespace
}  // namespace tessevar
