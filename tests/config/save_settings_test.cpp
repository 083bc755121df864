#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <functional>

#include "config/config_harness.h"

namespace tessevar {
namespace {

namespace fs = std::filesystem;
using testing::ConfigHarness;
using testing::readBytes;
using testing::writeBytes;

const std::string dialogue = testing::setupQuestions();

mode_t modeOf(const fs::path& file) {
  struct stat status {};
  ::stat(file.c_str(), &status);
  return status.st_mode & 07777;
}

// What the setup said.
std::string setUp(ConfigHarness& harness) {
  harness.setUp();
  return harness.console.str();
}

struct ModeCase {
  const char* name;
  mode_t before;
  mode_t after;
};

class ReplacedFile : public ::testing::TestWithParam<ModeCase> {};

TEST_P(ReplacedFile, OldContentIsKeptBesideItAndTheOwnerCanReadBoth) {
  ConfigHarness harness("a\nb\nc\n");
  writeBytes(harness.configFile(), "old-1-2-");
  ::chmod(harness.configFile().c_str(), GetParam().before);
  writeBytes(harness.backupFile(), "an older backup-");
  EXPECT_EQ(setUp(harness), dialogue + harness.savedLines(true));
  EXPECT_EQ(harness.saved(), "a-b-c-");
  EXPECT_EQ(readBytes(harness.backupFile()), "old-1-2-");
  EXPECT_EQ(modeOf(harness.configFile()), GetParam().after);
  EXPECT_EQ(modeOf(harness.backupFile()), GetParam().after);
}

INSTANTIATE_TEST_SUITE_P(Modes, ReplacedFile,
                         ::testing::Values(ModeCase{"Private", 0600, 0600},
                                           ModeCase{"GroupReadable", 0640, 0640},
                                           ModeCase{"Unreadable", 0000, 0600},
                                           ModeCase{"ReadOnly", 0444, 0644}),
                         [](const auto& info) { return std::string(info.param.name); });

struct LinkCase {
  const char* name;
  std::optional<std::string> targetBytes;  // nothing: a dangling link
};

class LinkedFile : public ::testing::TestWithParam<LinkCase> {};

TEST_P(LinkedFile, TargetIsReplacedAndTheLinkStays) {
  ConfigHarness harness("a\nb\nc\n");
  const fs::path target = harness.folder.path() / "dotfiles" / "tessevar";
  fs::create_directory(target.parent_path());
  if (GetParam().targetBytes) writeBytes(target, *GetParam().targetBytes);
  fs::create_symlink("dotfiles/tessevar", harness.configFile());
  const bool kept = GetParam().targetBytes.has_value();
  EXPECT_EQ(setUp(harness), dialogue + harness.savedLines(kept));
  EXPECT_TRUE(fs::is_symlink(harness.configFile()));
  EXPECT_EQ(readBytes(target), "a-b-c-");
  EXPECT_EQ(fs::exists(harness.backupFile()), kept);
  if (kept) {
    EXPECT_EQ(readBytes(harness.backupFile()), *GetParam().targetBytes);
  }
  // The temporary file was made beside the target and renamed away.
  EXPECT_EQ(std::distance(fs::directory_iterator(target.parent_path()), {}), 1);
}

INSTANTIATE_TEST_SUITE_P(Links, LinkedFile,
                         ::testing::Values(LinkCase{"ToAFile", "old-1-2-"},
                                           LinkCase{"Dangling", std::nullopt}),
                         [](const auto& info) { return std::string(info.param.name); });

class LinkedBackup : public ::testing::TestWithParam<LinkCase> {};

// A link named like the backup, planted by anyone who can write the folder,
// is replaced: the old settings never land in (or create) its target.
TEST_P(LinkedBackup, IsReplacedNeverFollowed) {
  ConfigHarness harness("a\nb\nc\n");
  writeBytes(harness.configFile(), "old-1-2-");
  const fs::path elsewhere = harness.folder.path() / "elsewhere";
  if (GetParam().targetBytes) writeBytes(elsewhere, *GetParam().targetBytes);
  fs::create_symlink(elsewhere, harness.backupFile());
  EXPECT_EQ(setUp(harness), dialogue + harness.savedLines(true));
  EXPECT_FALSE(fs::is_symlink(harness.backupFile()));
  EXPECT_EQ(readBytes(harness.backupFile()), "old-1-2-");
  EXPECT_EQ(fs::exists(elsewhere), GetParam().targetBytes.has_value());
  if (GetParam().targetBytes) {
    EXPECT_EQ(readBytes(elsewhere), *GetParam().targetBytes);
  }
}

INSTANTIATE_TEST_SUITE_P(Links, LinkedBackup,
                         ::testing::Values(LinkCase{"ToAFile", "someone else's file"},
                                           LinkCase{"Dangling", std::nullopt}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SaveSettings, LoopOfLinksIsLeftAloneAndReported) {
  ConfigHarness harness("a\nb\nc\n");
  fs::create_symlink("Tessevar.cfg", harness.configFile());
  EXPECT_EQ(setUp(harness), dialogue + "something has gone wrong in the setup\n" +
                                "cannot follow the links of " + harness.configFile().string() + "\n");
  EXPECT_TRUE(fs::is_symlink(harness.configFile()));
  EXPECT_FALSE(fs::exists(harness.backupFile()));
}

// Runs `body` as an ordinary user, for whom permission bits count: in a
// child that drops root to "nobody" after handing it `folder`.
void asOrdinaryUser(const fs::path& folder, const std::function<void()>& body) {
  if (::geteuid() != 0) return body();
  constexpr uid_t nobody = 65534;
  ASSERT_EQ(::chown(folder.c_str(), nobody, nobody), 0);
  for (const auto& entry : fs::directory_iterator(folder)) {
    ASSERT_EQ(::lchown(entry.path().c_str(), nobody, nobody), 0);
  }
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (::setgid(nobody) != 0 || ::setuid(nobody) != 0) ::_exit(2);
    body();
    ::_exit(0);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
}

TEST(SaveSettings, FileItsOwnerCannotReadIsStillKept) {
  ConfigHarness harness("a\nb\nc\n");
  writeBytes(harness.configFile(), "old-1-2-");
  ::chmod(harness.configFile().c_str(), 0);
  asOrdinaryUser(harness.folder.path(), [&harness] { setUp(harness); });
  EXPECT_EQ(readBytes(harness.backupFile()), "old-1-2-");
  EXPECT_EQ(harness.saved(), "a-b-c-");
  EXPECT_EQ(modeOf(harness.configFile()), 0600u);
}

}  // namespace
}  // namespace tessevar
