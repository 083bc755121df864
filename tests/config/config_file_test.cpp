#include "config/config_file.h"

#include <gtest/gtest.h>

#include "config/file_io.h"
#include "config/temp_folder.h"

namespace tessevar {
namespace {

using testing::readBytes;
using testing::TempFolder;
using testing::writeBytes;

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
        ParseCase{"WrittenBySetup", "en0-192.0.2.10-192.0.2.20-",
                  Configuration{"en0", "192.0.2.10", "192.0.2.20"}},
        ParseCase{"NoFinalHyphenKeepsLineEnd", "en0-192.0.2.10-192.0.2.20\n",
                  Configuration{"en0", "192.0.2.10", "192.0.2.20\n"}},
        ParseCase{"TextAfterThirdIgnored", "en0-a-b-\nmore-stuff",
                  Configuration{"en0", "a", "b"}},
        ParseCase{"EmptyPieces", "--192.0.2.20-", Configuration{"", "", "192.0.2.20"}},
        ParseCase{"SpacesKept", " en0 -\t1\r- 2 -", Configuration{" en0 ", "\t1\r", " 2 "}},
        ParseCase{"TwoHyphensGiveThreePieces", "a-b-", Configuration{"a", "b", ""}},
        ParseCase{"EmptyFile", "", std::nullopt},
        ParseCase{"OneHyphen", "en0-", std::nullopt},
        ParseCase{"NoHyphen", "en0 192.0.2.10 192.0.2.20", std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FormatConfiguration, IsEachValueAndAHyphenWithoutLineEnd) {
  const Configuration values{"en0", "192.0.2.10", "192.0.2.20"};
  const std::string text = formatConfiguration(values);
  EXPECT_EQ(text, "en0-192.0.2.10-192.0.2.20-");
  EXPECT_EQ(text.size(), 26u);
  const auto back = parseConfiguration(text);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->surfaceAddress, "192.0.2.20");
}

TEST(WriteFileAtomically, ReplacesTheWholeContentAndLeavesNoTemporary) {
  TempFolder folder;
  const auto file = folder.path() / "Tessevar.cfg";
  writeBytes(file, "a much longer former content-with-many-pieces-");
  ASSERT_TRUE(writeFileAtomically(file, "---"));
  EXPECT_EQ(readBytes(file), "---");
  const auto entries = std::distance(std::filesystem::directory_iterator(folder.path()),
                                     std::filesystem::directory_iterator());
  EXPECT_EQ(entries, 1);
}

TEST(WriteFileAtomically, FailsWithoutTheFolder) {
  TempFolder folder;
  EXPECT_FALSE(writeFileAtomically(folder.path() / "missing" / "Tessevar.cfg", "a-b-c-"));
}

TEST(WriteFileAtomically, FailedReplaceKeepsTheFormerEntryAndCleansUp) {
  TempFolder folder;
  const auto target = folder.path() / "Tessevar.cfg";
  std::filesystem::create_directory(target);
  writeBytes(target / "inside", "kept");
  EXPECT_FALSE(writeFileAtomically(target, "a-b-c-"));
  EXPECT_EQ(readBytes(target / "inside"), "kept");
  const auto entries = std::distance(std::filesystem::directory_iterator(folder.path()),
                                     std::filesystem::directory_iterator());
  EXPECT_EQ(entries, 1);
}

TEST(ReadWholeFile, ReadsBytesUnchangedAndFailsForMissingFileOrFolder) {
  TempFolder folder;
  const std::string bytes("a\0b\xff-\r\n", 7);
  writeBytes(folder.path() / "f", bytes);
  EXPECT_EQ(readWholeFile(folder.path() / "f"), bytes);
  EXPECT_FALSE(readWholeFile(folder.path() / "missing"));
  EXPECT_FALSE(readWholeFile(folder.path()));
}

}  // namespace
}  // namespace tessevar
