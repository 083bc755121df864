#include "support/test_editor_client.h"

#include <signal.h>
#include <stdlib.h>
#include <unistd.h>

#include "support/child_process.h"

namespace tessevar::testing {
namespace {

std::string makeLogFile() {
  std::string path = "/tmp/tessevar-editor-XXXXXX";
  const int fd = mkstemp(path.data());
  if (fd >= 0) close(fd);
  return path;
}

}  // namespace

std::string testEditorProgram() { return TESSEVAR_TEST_EDITOR; }

EditorUnderTest::EditorUnderTest(const std::string& program, const std::string& display,
                                 const std::vector<std::string>& args)
    : log_(makeLogFile()) {
  std::vector<std::string> argv{program, "--display", display, "--log", log_.path().string()};
  argv.insert(argv.end(), args.begin(), args.end());
  pid_ = spawnProcess(argv);
  if (pid_ <= 0) return;
  const std::string ready = waitForLine("ready ");
  if (!ready.empty()) window_ = std::stoll(ready.substr(6));
}

EditorUnderTest::~EditorUnderTest() {
  quit();
  unlink(log_.path().c_str());
}

void EditorUnderTest::quit() {
  stopProcess(pid_, SIGTERM);
  pid_ = -1;
}

}  // namespace tessevar::testing
