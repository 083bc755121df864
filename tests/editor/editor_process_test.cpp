#include "editor/editor.h"

#include <signal.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "support/child_process.h"
#include "support/temp_folder.h"

namespace tessevar {
namespace {

struct ListingCase {
  const char* name;
  std::string_view listing;
  std::int64_t expected;
};

class EditorPidFromListing : public ::testing::TestWithParam<ListingCase> {};

TEST_P(EditorPidFromListing, TakesThePidOfTheLastLineNamingTheEditor) {
  EXPECT_EQ(editorPidFromListing(GetParam().listing), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Listings, EditorPidFromListing,
    ::testing::Values(
        ListingCase{"RightAlignedPid",
                    "  PID TTY STAT TIME COMMAND\n  512 ?  S  0:01 /Applications/X-AIR-Edit.app/x\n",
                    512},
        ListingCase{"MAirEdit", "   77 ?  S 0:00 /opt/M-AIR-Edit\n", 77},
        ListingCase{"LaterLineWins", " 10 ? X-AIR-Edit\n 20 ? M-AIR-Edit\n 30 ? bash\n", 20},
        ListingCase{"LaterNonNumberWinsWithZero", " 10 ? X-AIR-Edit\nabc grep X-AIR-Edit\n", 0},
        ListingCase{"NoMatch", "  1 ? init\n  2 ? x-air-edit\n", 0},
        ListingCase{"PlusSign", "+42 X-AIR-Edit", 42},
        ListingCase{"SignsTwice", "+-42 X-AIR-Edit", 0},
        ListingCase{"Largest", "9223372036854775807 X-AIR-Edit", INT64_MAX},
        ListingCase{"OutOfRange", "9223372036854775808 X-AIR-Edit", 0}),
    [](const auto& info) { return std::string(info.param.name); });

// A process whose command line names the editor: /bin/sleep started through
// a symlink called X-AIR-Edit. Killed and reaped at the end.
class FakeEditorProcess {
 public:
  FakeEditorProcess() {
    const auto link = folder_.path() / "X-AIR-Edit";
    std::filesystem::create_symlink("/bin/sleep", link);
    pid_ = testing::spawnProcess({link.string(), "300"});
  }
  FakeEditorProcess(const FakeEditorProcess&) = delete;
  FakeEditorProcess& operator=(const FakeEditorProcess&) = delete;
  ~FakeEditorProcess() { testing::stopProcess(pid_, SIGKILL); }
  pid_t pid() const { return pid_; }

 private:
  testing::TempFolder folder_;
  pid_t pid_ = -1;
};

std::string commandLineOf(std::int64_t pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/cmdline", std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(FindEditorProcess, FindsARunningProcessNamedLikeTheEditor) {
  FakeEditorProcess editor;
  ASSERT_GT(editor.pid(), 0);
  const auto found = findEditorProcess();
  ASSERT_TRUE(found);
  if (*found != editor.pid()) {
    // Another editor-named process (a parallel end-to-end test, say) listed
    // later legitimately wins; it must then really name the editor.
    EXPECT_NE(commandLineOf(*found).find("-AIR-Edit"), std::string::npos)
        << "found " << *found << ", started " << editor.pid();
  }
}

}  // namespace
}  // namespace tessevar
