#include <gtest/gtest.h>

#include "config/system_lookups.h"

namespace tessevar {
namespace {

struct UserDirsCase {
  const char* name;
  std::string_view content;
  std::optional<std::filesystem::path> expected;
};

class DocumentsFromUserDirs : public ::testing::TestWithParam<UserDirsCase> {};

TEST_P(DocumentsFromUserDirs, ExpandsHomeAndTakesTheLastValidLine) {
  EXPECT_EQ(documentsFolderFromUserDirs(GetParam().content, "/home/op"), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Files, DocumentsFromUserDirs,
    ::testing::Values(
        UserDirsCase{"Generated", "# xdg\nXDG_DESKTOP_DIR=\"$HOME/D\"\nXDG_DOCUMENTS_DIR=\"$HOME/Dok\"\n",
                     "/home/op/Dok"},
        UserDirsCase{"Absolute", "XDG_DOCUMENTS_DIR=\"/srv/docs\"", "/srv/docs"},
        UserDirsCase{"SpacesAndEscapes", " XDG_DOCUMENTS_DIR = \"$HOME/My \\\"D\\\"\"",
                     "/home/op/My \"D\""},
        UserDirsCase{"InvalidLaterLineIgnored",
                     "XDG_DOCUMENTS_DIR=\"$HOME/a\"\nXDG_DOCUMENTS_DIR=\"relative\"\n", "/home/op/a"},
        UserDirsCase{"Commented", "#XDG_DOCUMENTS_DIR=\"$HOME/a\"\n", std::nullopt},
        UserDirsCase{"Unterminated", "XDG_DOCUMENTS_DIR=\"$HOME/a\n", std::nullopt},
        UserDirsCase{"OtherVariable", "XDG_DOCUMENTS_DIR=\"$HOMEWORK/a\"", std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tessevar
