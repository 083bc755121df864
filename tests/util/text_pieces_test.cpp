#include "util/text_pieces.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tessevar {
namespace {

struct SplitCase {
  const char* name;
  std::string_view text;
  std::vector<std::string_view> pieces;
};

class SplitAt : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitAt, KeepsEveryPieceEmptyOnesIncluded) {
  EXPECT_EQ(splitAt(GetParam().text, '-'), GetParam().pieces);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, SplitAt,
    ::testing::Values(SplitCase{"Empty", "", {""}},
                      SplitCase{"NoSeparator", "en0", {"en0"}},
                      SplitCase{"Doubled", "a--b", {"a", "", "b"}},
                      SplitCase{"AtBothEnds", "-a-", {"", "a", ""}},
                      SplitCase{"OnlySeparators", "--", {"", "", ""}}),
    [](const auto& info) { return std::string(info.param.name); });

// UTF-8 of a code point, written here apart from the code under test.
std::string encode(char32_t c) {
  if (c < 0x80) return std::string(1, static_cast<char>(c));
  if (c < 0x800) return {static_cast<char>(0xC0 | (c >> 6)), static_cast<char>(0x80 | (c & 0x3F))};
  return {static_cast<char>(0xE0 | (c >> 12)), static_cast<char>(0x80 | ((c >> 6) & 0x3F)),
          static_cast<char>(0x80 | (c & 0x3F))};
}

// Unicode's White_Space property, and the code points on either side of its
// ranges with some look-alikes that are not white space.
constexpr char32_t whiteSpace[] = {0x09,   0x0A,   0x0B,   0x0C,   0x0D,   0x20,   0x85,   0xA0,   0x1680,
                                   0x2000, 0x2001, 0x2002, 0x2003, 0x2004, 0x2005, 0x2006, 0x2007, 0x2008,
                                   0x2009, 0x200A, 0x2028, 0x2029, 0x202F, 0x205F, 0x3000};
constexpr char32_t notWhiteSpace[] = {0x08,   0x0E,   0x1F,   0x21,   0x84,   0x86,   0x9F,   0xA1,
                                      0x167F, 0x1681, 0x180E, 0x1FFF, 0x200B, 0x2027, 0x202A, 0x202E,
                                      0x2030, 0x205E, 0x2060, 0x2FFF, 0x3001, 0xFEFF};

TEST(TrimWhitespace, TakesEveryWhiteSpaceCharacterFromBothEndsAndNothingElse) {
  for (char32_t c : whiteSpace) {
    const std::string around = encode(c) + encode(c) + "a" + encode(c) + "b" + encode(c);
    EXPECT_EQ(trimWhitespace(around), "a" + encode(c) + "b") << std::hex << "U+" << unsigned(c);
  }
  for (char32_t c : notWhiteSpace) {
    const std::string around = encode(c) + " a " + encode(c);
    EXPECT_EQ(trimWhitespace(around), around) << std::hex << "U+" << unsigned(c);
  }
}

struct TrimCase {
  const char* name;
  std::string_view text;
  std::string_view trimmed;
};

class TrimWhitespaceOf : public ::testing::TestWithParam<TrimCase> {};

TEST_P(TrimWhitespaceOf, StaysInsideTheText) {
  const std::string_view text = GetParam().text;
  const std::string_view trimmed = trimWhitespace(text);
  EXPECT_EQ(trimmed, GetParam().trimmed);
  if (!trimmed.empty()) {
    EXPECT_EQ(trimmed.data(), text.data() + text.find(trimmed));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, TrimWhitespaceOf,
    ::testing::Values(TrimCase{"Empty", "", ""},
                      TrimCase{"OnlyWhitespace", " \t\xE3\x80\x80\r\n\xC2\x85", ""},
                      TrimCase{"MixedRun", "\xC2\xA0 \xE2\x80\xA8/usr/bin/ps\r\n\xE2\x80\xAF", "/usr/bin/ps"},
                      // Malformed bytes are never white space, even those that spell one.
                      TrimCase{"OverlongSpaceKept", "\xC0\xA0" "a\xE0\x80\xA0", "\xC0\xA0" "a\xE0\x80\xA0"},
                      TrimCase{"CutOffSequenceKept", " a\xE3\x80 ", "a\xE3\x80"},
                      TrimCase{"StrayContinuationsKept", "\x80\x80\x80\x80 a", "\x80\x80\x80\x80 a"},
                      TrimCase{"SpaceAfterStrayContinuation", "a\x80 ", "a\x80"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tessevar
