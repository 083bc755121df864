#include "config/text_pieces.h"

#include <gtest/gtest.h>

namespace tessevar {
namespace {

TEST(SplitAt, KeepsEmptyPieces) {
  using Pieces = std::vector<std::string_view>;
  EXPECT_EQ(splitAt("", '-'), Pieces{""});
  EXPECT_EQ(splitAt("a--b-", '-'), (Pieces{"a", "", "b", ""}));
  EXPECT_EQ(splitAt("\n", '\n'), (Pieces{"", ""}));
}

struct TrimCase {
  std::string_view text;
  std::string_view expected;
};

class TrimWhitespace : public ::testing::TestWithParam<TrimCase> {};

TEST_P(TrimWhitespace, RemovesOnlyWhitespaceAtTheEnds) {
  EXPECT_EQ(trimWhitespace(GetParam().text), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, TrimWhitespace,
    ::testing::Values(TrimCase{"  512 ? S X-AIR-Edit\n", "512 ? S X-AIR-Edit"},
                      TrimCase{"/usr/bin/ps\r\n", "/usr/bin/ps"}, TrimCase{" \t\v\f\r\n", ""},
                      TrimCase{"a b", "a b"},
                      TrimCase{"\xC2\xA0x\xE3\x80\x80", "x"},          // no-break, ideographic
                      TrimCase{"\xE2\x80\xA8x\xC2\x85", "x"},          // line separator, NEL
                      TrimCase{"\xEF\xBF\xBD \xEF\xBF\xBD", "\xEF\xBF\xBD \xEF\xBF\xBD"},
                      TrimCase{"x\xA0", "x\xA0"}));                    // a stray byte stays

}  // namespace
}  // namespace tessevar
