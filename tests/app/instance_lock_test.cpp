#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>

#include "app/process_guards.h"
#include "support/temp_folder.h"

namespace tessevar {
namespace {

namespace fs = std::filesystem;

// Points the lock at a runtime folder of the test's, or at none.
class LockFolder {
 public:
  explicit LockFolder(bool runtime) {
    if (runtime) {
      ::setenv("XDG_RUNTIME_DIR", folder.path().c_str(), 1);
    } else {
      ::unsetenv("XDG_RUNTIME_DIR");
    }
    ::setenv("HOME", folder.path().c_str(), 1);
    ::unsetenv("XDG_STATE_HOME");
  }
  ~LockFolder() {
    ::unsetenv("XDG_RUNTIME_DIR");
    ::setenv("HOME", home_.c_str(), 1);
  }
  testing::TempFolder folder;

 private:
  std::string home_ = std::getenv("HOME") ? std::getenv("HOME") : "/";
};

struct Planted {
  const char* name;
  std::function<void(const fs::path& runtime)> plant;
  std::string why;  // after the runtime folder's path
};

class UnusableLock : public ::testing::TestWithParam<Planted> {};

// Whatever stands in the lock's way is said, never followed or taken over.
TEST_P(UnusableLock, IsRefusedWithTheReason) {
  LockFolder lock(true);
  GetParam().plant(lock.folder.path());
  const Result<InstanceLock> taken = takeInstanceLock();
  ASSERT_FALSE(taken);
  EXPECT_EQ(taken.reason(), lock.folder.path().string() + GetParam().why);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UnusableLock,
    ::testing::Values(
        Planted{"Link", [](const fs::path& r) { fs::create_symlink(r / "elsewhere", r / "tessevar.lock"); },
                "/tessevar.lock is a symbolic link"},
        Planted{"Folder", [](const fs::path& r) { fs::create_directory(r / "tessevar.lock"); },
                "/tessevar.lock is a folder"},
        Planted{"SharedRuntimeFolder", [](const fs::path& r) { ::chmod(r.c_str(), 0777); },
                " can be written by other users"},
        Planted{"AnotherUsersRuntimeFolder", [](const fs::path& r) { [[maybe_unused]] int e = ::chown(r.c_str(), 65534, 65534); },
                " belongs to another user"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(InstanceLock, WithoutARuntimeFolderLivesInAPrivateFolderUnderTheHome) {
  LockFolder lock(false);
  const Result<InstanceLock> first = takeInstanceLock();
  ASSERT_TRUE(first) << first.reason();
  EXPECT_EQ(first->otherCopy(), 0);
  struct stat status {};
  ASSERT_EQ(::lstat((lock.folder.path() / ".local/state/tessevar").c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 0777, 0700u);
  // A second taker (another open file, as another copy has) learns who holds it.
  const Result<InstanceLock> second = takeInstanceLock();
  ASSERT_TRUE(second) << second.reason();
  EXPECT_EQ(second->otherCopy(), ::getpid());
}

}  // namespace
}  // namespace tessevar
