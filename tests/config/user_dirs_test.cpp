#include <gtest/gtest.h>

#include "config/documents_folder.h"

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
        UserDirsCase{"Generated",
                     "# written by xdg-user-dirs-update\nXDG_DESKTOP_DIR=\"$HOME/Desktop\"\n"
                     "XDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n",
                     "/home/op/Dokumente"},
        UserDirsCase{"Absolute", "XDG_DOCUMENTS_DIR=\"/srv/docs\"", "/srv/docs"},
        UserDirsCase{"HomeItself", "XDG_DOCUMENTS_DIR=\"$HOME/\"", "/home/op"},
        UserDirsCase{"SpacesAndEscapes", "  XDG_DOCUMENTS_DIR = \"$HOME/My \\\"Docs\\\"\"",
                     "/home/op/My \"Docs\""},
        UserDirsCase{"LastWins", "XDG_DOCUMENTS_DIR=\"$HOME/a\"\nXDG_DOCUMENTS_DIR=\"$HOME/b\"\n",
                     "/home/op/b"},
        UserDirsCase{"InvalidLaterLineIgnored",
                     "XDG_DOCUMENTS_DIR=\"$HOME/a\"\nXDG_DOCUMENTS_DIR=\"relative\"\n", "/home/op/a"},
        UserDirsCase{"Commented", "#XDG_DOCUMENTS_DIR=\"$HOME/a\"\n", std::nullopt},
        UserDirsCase{"Unquoted", "XDG_DOCUMENTS_DIR=$HOME/a\n", std::nullopt},
        UserDirsCase{"Unterminated", "XDG_DOCUMENTS_DIR=\"$HOME/a\n", std::nullopt},
        UserDirsCase{"OtherVariableWithHomePrefix", "XDG_DOCUMENTS_DIR=\"$HOMEWORK/a\"",
                     std::nullopt},
        UserDirsCase{"OnlyOtherKeys", "XDG_DOCUMENTS_DIRX=\"$HOME/a\"\n", std::nullopt},
        UserDirsCase{"Empty", "", std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tessevar
