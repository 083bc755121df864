#include "config/configuration.h"

#include <gtest/gtest.h>

namespace tessevar {
namespace {

struct ParseCase {
  const char* name;
  std::string_view text;
  std::optional<Configuration> expected;
};

class ParseConfiguration : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseConfiguration, SplitsAtEveryHyphen) {
  EXPECT_EQ(parseConfiguration(GetParam().text), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Pieces, ParseConfiguration,
    ::testing::Values(
        ParseCase{"NoFinalHyphenKeepsLineEnd", "en0-1-2\n",
                  Configuration{.networkPortName = "en0", .mixerAddress = "1", .surfaceAddress = "2\n"}},
        ParseCase{"TextAfterThirdIgnored", "en0-a-b-\nmore-x",
                  Configuration{.networkPortName = "en0", .mixerAddress = "a", .surfaceAddress = "b"}},
        ParseCase{"EmptyAndSpacedPieces", "-- 2 -", Configuration{.networkPortName = "", .mixerAddress = "", .surfaceAddress = " 2 "}},
        ParseCase{"EmptyFile", "", std::nullopt},
        ParseCase{"TwoPieces", "en0-1", std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tessevar
