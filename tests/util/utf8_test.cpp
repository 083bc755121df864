#include "util/utf8.h"

#include <gtest/gtest.h>

namespace tessevar {
namespace {

struct Case {
  const char* name;
  std::string bytes;
  std::string text;
};

class Utf8Decode : public testing::TestWithParam<Case> {};

TEST_P(Utf8Decode, ReplacesEachMalformedSubpart) {
  EXPECT_EQ(decodeUtf8Lossy(GetParam().bytes), GetParam().text);
}

const std::string fffd = "\xEF\xBF\xBD";

INSTANTIATE_TEST_SUITE_P(
    Table, Utf8Decode,
    testing::Values(Case{"ascii", "en0-192.0.2.10-", "en0-192.0.2.10-"},
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
    [](const testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

struct EscapeCase {
  const char* name;
  std::string text;
  std::string shown;
};

class EscapeControls : public testing::TestWithParam<EscapeCase> {};

TEST_P(EscapeControls, LeavesPrintableTextAlone) { EXPECT_EQ(escapeControls(GetParam().text), GetParam().shown); }

INSTANTIATE_TEST_SUITE_P(
    Table, EscapeControls,
    testing::Values(EscapeCase{"printable", " en0 \xC3\xA9" + fffd, " en0 \xC3\xA9" + fffd},
                    EscapeCase{"line_ends_and_tab", "a\r\n\tb", "a\\r\\n\\tb"},
                    EscapeCase{"escape_and_bell", "\x1B[2J\x07", "\\x1B[2J\\x07"},
                    EscapeCase{"delete_and_nul", std::string("\x7F\0", 2), "\\x7F\\x00"},
                    EscapeCase{"c1_csi", "\xC2\x9B" "31m", "\\u009B31m"},
                    EscapeCase{"latin1_not_c1", "\xC2\xA0", "\xC2\xA0"}),
    [](const testing::TestParamInfo<EscapeCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tessevar
