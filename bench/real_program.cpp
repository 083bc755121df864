#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "support/console_banner.h"
#include "support/tessevar_process.h"
#include "support/test_editor_client.h"
#include "support/xvfb_server.h"
#include "relay_under_test.h"

namespace {

using tessevar::testing::TempHome;
using tessevar::testing::TessevarProcess;

// A private X server with the test editor on it, when both can be started.
struct EditorScene {
  EditorScene() {
    if (std::getenv("TESSEVAR_BENCH_NO_EDITOR") != nullptr) return;  // the relay alone, for comparison
    std::string problem;
    server = tessevar::testing::XvfbServer::start(problem);
    if (!server) return;
    editor = std::make_unique<tessevar::testing::EditorUnderTest>(tessevar::testing::testEditorProgram(),
                                                                  server->display());
    if (!editor->ready()) editor.reset();
  }
  std::string display() const { return editor ? server->display() : ""; }

  std::unique_ptr<tessevar::testing::XvfbServer> server;
  std::unique_ptr<tessevar::testing::EditorUnderTest> editor;
};

// The real binary, configured for the test network, driven through a pipe.
class RealProgram final : public RelayUnderTest {
 public:
  RealProgram() : program_(configured(home_, scene_)) {
    if (!tessevar::testing::endsWithBanner(program_.readStartUp())) {
      std::fprintf(stderr, "the program did not start relaying\n");
      std::exit(1);
    }
  }
  ~RealProgram() override {
    program_.type("q\n");
    program_.waitForExit();
  }
  const char* description() const override {
    return scene_.editor ? "the real program (build/bin/tessevar) in a network namespace, test editor on Xvfb"
                         : "the real program (build/bin/tessevar) in a network namespace, no display";
  }
  bool editorPresent() const override { return scene_.editor != nullptr; }
  double cpuSeconds() const override {
    std::ifstream stat("/proc/" + std::to_string(program_.pid()) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    std::istringstream fields(text.substr(text.rfind(')') + 2));
    std::string field;
    unsigned long long utime = 0, stime = 0;
    for (int i = 3; i <= 15 && fields >> field; ++i) {
      if (i == 14) utime = std::stoull(field);
      if (i == 15) stime = std::stoull(field);
    }
    return static_cast<double>(utime + stime) / static_cast<double>(sysconf(_SC_CLK_TCK));
  }

 private:
  static TessevarProcess::Options configured(const TempHome& home, const EditorScene& scene) {
    const Stage& stage = benchStage();
    home.writeConfig("en0-" + stage.mixer.address + "-" + stage.xtouch.address + "-");
    return {home.path(), scene.display()};
  }

  EditorScene scene_;
  TempHome home_;
  mutable TessevarProcess program_;
};

}  // namespace

std::unique_ptr<RelayUnderTest> startRealProgram() { return std::make_unique<RealProgram>(); }
