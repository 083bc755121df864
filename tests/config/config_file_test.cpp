#include "config/config_file.h"

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
  const auto parsed = parseConfiguration(GetParam().text);
  ASSERT_EQ(parsed.has_value(), GetParam().expected.has_value());
  if (!parsed) return;
  EXPECT_EQ(parsed->networkPortName, GetParam().expected->networkPortName);
  EXPECT_EQ(parsed->mixerAddress, GetParam().expected->mixerAddress);
  EXPECT_EQ(parsed->surfaceAddress, GetParam().expected->surfaceAddress);
}

INSTANTIATE_TEST_SUITE_P(
    Pieces, ParseConfiguration,
    ::testing::Values(
        ParseCase{"NoFinalHyphenKeepsLineEnd", "en0-1-2\n", Configuration{"en0", "1", "2\n"}},
        ParseCase{"TextAfterThirdIgnored", "en0-a-b-\nmore-x", Configuration{"en0", "a", "b"}},
        ParseCase{"EmptyAndSpacedPieces", "-- 2 -", Configuration{"", "", " 2 "}},
        ParseCase{"EmptyFile", "", std::nullopt},
        ParseCase{"TwoPieces", "en0-1", std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tessevar
