// The end-to-end run of the Windows build: the same stage as the Linux
// end-to-end tests (scripts/testnet), with the program under Wine. Wine is
// started once for the run, not per test: an X server, then the prefix's
// server and its boot, with their output going nowhere (Wine's helpers
// would otherwise hold the test's output open).
#include "e2e/windows/wine_stage.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <memory>

#include "support/xvfb_server.h"

namespace tessevar::testing {
namespace {

WineStage stage;

void setEnvironment(const char* name, const std::string& value) { setenv(name, value.c_str(), 1); }

class WineEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    if (std::getenv("TESSEVAR_TESTNET") == nullptr) return;  // every test skips and says why
    const char* bin = std::getenv("TESSEVAR_WINDOWS_BIN");
    stage.windowsBin = bin != nullptr ? bin : TESSEVAR_WINDOWS_BIN;
    ASSERT_TRUE(std::filesystem::exists(stage.windowsBin / "tessevar.exe"))
        << "no Windows build in " << stage.windowsBin << ": run make windows";
    std::string problem;
    xvfb_ = XvfbServer::start(problem);
    ASSERT_TRUE(xvfb_) << "no X server for Wine: " << problem;
    stage.display = xvfb_->display();
    prefix_ = stage.windowsBin.parent_path() / "wineprefix-e2e";
    std::filesystem::create_directories(prefix_);
    setEnvironment("DISPLAY", stage.display);
    setEnvironment("TESSEVAR_WINE_DISPLAY", stage.display);
    setEnvironment("WINEPREFIX", prefix_.string());
    setEnvironment("WINEDEBUG", "-all");
    setEnvironment("WINEDLLOVERRIDES", "mscoree,mshtml=");
    // A fresh prefix takes some 10 to 20 s; later runs reuse it.
    ASSERT_EQ(std::system("wineserver -p </dev/null >/dev/null 2>&1 && wine wineboot </dev/null >/dev/null 2>&1"), 0)
        << "Wine did not start in " << prefix_;
    // Wine binds the program's socket to en0 itself (so that it would hear
    // broadcasts): the devices' sockets are bound to stage0, and datagrams
    // between the two ends, local addresses both, cross the veth pair.
    for (const char* interface : {"all", "en0", "stage0"}) {
      const std::filesystem::path settings = std::filesystem::path("/proc/sys/net/ipv4/conf") / interface;
      std::ofstream(settings / "accept_local") << "1";
      std::ofstream(settings / "rp_filter") << "0";
    }
    setEnvironment("TESSEVAR_STAGE_DEVICE", "stage0");
    setEnvironment("TESSEVAR_UNDER_TEST", TESSEVAR_WINE_TESSEVAR);
    setEnvironment("TESSEVAR_WINDOWS_EXE", (stage.windowsBin / "tessevar.exe").string());
    const char* user = std::getenv("USER");
    setEnvironment("TESSEVAR_WINE_DOCUMENTS", std::string("C:\\users\\") + (user ? user : "root") + "\\Documents");
  }

  void TearDown() override {
    if (!prefix_.empty()) {
      [[maybe_unused]] const int ended = std::system("wineserver -k 2>/dev/null");
    }
    xvfb_.reset();
  }

 private:
  std::unique_ptr<XvfbServer> xvfb_;
  std::filesystem::path prefix_;
};

}  // namespace

const WineStage& wineStage() { return stage; }

std::string windowsPath(const std::filesystem::path& path) {
  std::string text = "Z:" + std::filesystem::absolute(path).string();
  for (char& c : text) {
    if (c == '/') c = '\\';
  }
  return text;
}

}  // namespace tessevar::testing

// The Linux end-to-end tests that run as they are against the Windows build,
// besides this folder's own. Left out: the exact start-up transcript (a
// Windows desktop opens without a display), the setup's transcript (Wine
// counts the test network's cards as hardware: the port hints show), a
// second copy's process id (Wine's differ from the system's), SIGTERM
// (Windows has none) and the one-copy lock's folder (Windows keeps it
// elsewhere).
constexpr const char* sharedTests =
    "WindowsEndToEnd.*:RelayEndToEnd.RelaysEveryDatagramUnchangedBothWays:RelayEndToEnd.QuitEndsWithStatusZero:"
    "RelayEndToEnd.KeepsRelayingAfterTheConsoleInputEnds:RelayEndToEnd.PeersGivenByName*:"
    "RelayEndToEnd.PortWithoutAddress*:RelayEndToEnd.FirstStartAsks*:"
    "OperationEndToEnd.ClosedOutputNeverEndsIt*:Endings/WaitingLinks.*/Q:Endings/WaitingLinks.*/Interrupt:"
    "StageTest.FirstStartWithNobodyToAsk*:OperationEndToEnd.SetupOptionWritesTheFileAndOpensNoLink:"
    "OperationEndToEnd.VerboseSaysWhenEachPeerIsFirstHeard";

int main(int argc, char** argv) {
  ::testing::GTEST_FLAG(filter) = sharedTests;  // a --gtest_filter given overrides it
  ::testing::InitGoogleTest(&argc, argv);
  ::testing::AddGlobalTestEnvironment(new tessevar::testing::WineEnvironment);
  return RUN_ALL_TESTS();
}
