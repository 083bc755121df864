#include "util/utf8.h"

#include <gtest/gtest.h>

namespace tessevar {
namespace {

struct Case {
  const char* name;
  std::string bytes;
  std::string text;
};

class Utf8Decode : public ::testing::TestWithParam<Case> {};

TEST_P(Utf8Decode, ReplacesEachMalformedSubpart) {
  EXPECT_EQ(decodeUtf8Lossy(GetParam().bytes), GetParam().text);
}

const std::string fffd = "\xEF\xBF\xBD";

INSTANTIATE_TEST_SUITE_P(
    Table, Utf8Decode,
    ::testing::Values(Case{"ascii", "en0-192.0.2.10-", "en0-192.0.2.10-"},
                    Case{"empty", "", ""},
                    Case{"two_byte", "\xC3\xA9", "\xC3\xA9"},
                    Case{"four_byte", "\xF0\x9F\x8E\x9B", "\xF0\x9F\x8E\x9B"},
                    Case{"lone_continuation", "a\x80" "b", "a" + fffd + "b"},
                    Case{"invalid_lead", "\xFF\xFE", fffd + fffd},
                    Case{"overlong", "\xC0\xAF", fffd + fffd},
                    Case{"surrogate", "\xED\xA0\x80", fffd + fffd + fffd},
                    Case{"truncated_at_end", "x\xE2\x82", "x" + fffd},
                    Case{"truncated_then_ascii", "\xE2\x82-", fffd + "-"},
                    Case{"above_max", "\xF4\x90\x80\x80", fffd + fffd + fffd + fffd}),
    [](const ::testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

struct SequenceCase {
  const char* name;
  std::string bytes;
  char32_t codePoint;
  std::size_t length;
};

class FirstSequence : public ::testing::TestWithParam<SequenceCase> {};

// A well-formed sequence gives its code point; an ill-formed one U+FFFD and
// the bytes one replacement stands for.
TEST_P(FirstSequence, ReadsOneSequenceFromTheFront) {
  const Utf8Sequence sequence = firstUtf8Sequence(GetParam().bytes);
  EXPECT_EQ(sequence.codePoint, GetParam().codePoint);
  EXPECT_EQ(sequence.length, GetParam().length);
  EXPECT_EQ(sequence.wellFormed, GetParam().codePoint != 0xFFFD);
}

INSTANTIATE_TEST_SUITE_P(
    Table, FirstSequence,
    ::testing::Values(SequenceCase{"nul", std::string(1, '\0'), 0, 1},
                    SequenceCase{"last_one_byte", "\x7F\x80", 0x7F, 1},
                    SequenceCase{"first_two_byte", "\xC2\x80" "a", 0x80, 2},
                    SequenceCase{"last_two_byte", "\xDF\xBF", 0x7FF, 2},
                    SequenceCase{"first_three_byte", "\xE0\xA0\x80", 0x800, 3},
                    SequenceCase{"before_surrogates", "\xED\x9F\xBF", 0xD7FF, 3},
                    SequenceCase{"after_surrogates", "\xEE\x80\x80", 0xE000, 3},
                    SequenceCase{"last_three_byte", "\xEF\xBF\xBF", 0xFFFF, 3},
                    SequenceCase{"first_four_byte", "\xF0\x90\x80\x80", 0x10000, 4},
                    SequenceCase{"last_code_point", "\xF4\x8F\xBF\xBF", 0x10FFFF, 4},
                    SequenceCase{"continuation", "\x80", 0xFFFD, 1},
                    SequenceCase{"overlong_two_byte", "\xC1\xBF", 0xFFFD, 1},
                    SequenceCase{"overlong_three_byte", "\xE0\x9F\xBF", 0xFFFD, 1},
                    SequenceCase{"overlong_four_byte", "\xF0\x8F\xBF\xBF", 0xFFFD, 1},
                    SequenceCase{"surrogate", "\xED\xA0\x80", 0xFFFD, 1},
                    SequenceCase{"above_max", "\xF4\x90\x80\x80", 0xFFFD, 1},
                    SequenceCase{"lead_f5", "\xF5\x80\x80\x80", 0xFFFD, 1},
                    SequenceCase{"cut_after_two_of_three", "\xE2\x82", 0xFFFD, 2},
                    SequenceCase{"cut_after_three_of_four", "\xF0\x9F\x8E-", 0xFFFD, 3}),
    [](const ::testing::TestParamInfo<SequenceCase>& info) { return std::string(info.param.name); });

struct EscapeCase {
  const char* name;
  std::string text;
  std::string shown;
};

class EscapeControls : public ::testing::TestWithParam<EscapeCase> {};

TEST_P(EscapeControls, LeavesPrintableTextAlone) { EXPECT_EQ(escapeControls(GetParam().text), GetParam().shown); }

INSTANTIATE_TEST_SUITE_P(
    Table, EscapeControls,
    ::testing::Values(EscapeCase{"printable", " en0 \xC3\xA9" + fffd, " en0 \xC3\xA9" + fffd},
                    EscapeCase{"line_ends_and_tab", "a\r\n\tb", "a\\r\\n\\tb"},
                    EscapeCase{"escape_and_bell", "\x1B[2J\x07", "\\x1B[2J\\x07"},
                    EscapeCase{"delete_and_nul", std::string("\x7F\0", 2), "\\x7F\\x00"},
                    EscapeCase{"c1_csi", "\xC2\x9B" "31m", "\\u009B31m"},
                    EscapeCase{"latin1_not_c1", "\xC2\xA0", "\xC2\xA0"}),
    [](const ::testing::TestParamInfo<EscapeCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tessevar
