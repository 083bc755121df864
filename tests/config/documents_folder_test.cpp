#include "config/documents_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "config/temp_folder.h"

namespace tessevar {
namespace {

// Sets an environment variable for one test and puts the old value back.
class ScopedVariable {
 public:
  ScopedVariable(const char* name, const std::optional<std::string>& value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    set(value);
  }
  ScopedVariable(const ScopedVariable&) = delete;
  ScopedVariable& operator=(const ScopedVariable&) = delete;
  ~ScopedVariable() { set(old_); }

 private:
  void set(const std::optional<std::string>& value) {
    if (value) {
      ::setenv(name_, value->c_str(), 1);
    } else {
      ::unsetenv(name_);
    }
  }
  const char* name_;
  std::optional<std::string> old_;
};

TEST(DocumentsFolder, ComesFromUserDirsUnderTheConfigHome) {
  testing::TempFolder home;
  std::filesystem::create_directories(home.path() / "cfg");
  testing::writeBytes(home.path() / "cfg" / "user-dirs.dirs", "XDG_DOCUMENTS_DIR=\"$HOME/Docs\"\n");
  ScopedVariable homeVariable("HOME", home.path().string());
  ScopedVariable configHome("XDG_CONFIG_HOME", (home.path() / "cfg").string());
  EXPECT_EQ(documentsFolder(), home.path() / "Docs");
}

TEST(DocumentsFolder, DefaultsToDocumentsInHome) {
  testing::TempFolder home;
  std::filesystem::create_directories(home.path() / ".config");
  testing::writeBytes(home.path() / ".config" / "user-dirs.dirs", "XDG_MUSIC_DIR=\"$HOME/M\"\n");
  ScopedVariable homeVariable("HOME", home.path().string());
  ScopedVariable configHome("XDG_CONFIG_HOME", "relative/ignored");
  EXPECT_EQ(documentsFolder(), home.path() / "Documents");
}

TEST(DocumentsFolder, HomeFromThePasswdEntryWhenUnset) {
  ScopedVariable homeVariable("HOME", std::nullopt);
  const auto home = homeFolder();
  ASSERT_TRUE(home);
  EXPECT_TRUE(home->is_absolute()) << *home;
}

}  // namespace
}  // namespace tessevar
