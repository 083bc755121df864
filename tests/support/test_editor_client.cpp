#include "support/test_editor_client.h"

#include <signal.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <thread>

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
    : logPath_(makeLogFile()) {
  std::vector<std::string> argv{program, "--display", display, "--log", logPath_};
  argv.insert(argv.end(), args.begin(), args.end());
  pid_ = spawnProcess(argv);
  if (pid_ <= 0) return;
  const std::string ready = waitForLine("ready ");
  if (!ready.empty()) window_ = std::stoll(ready.substr(6));
}

EditorUnderTest::~EditorUnderTest() {
  quit();
  unlink(logPath_.c_str());
}

std::vector<std::string> EditorUnderTest::lines() const {
  std::ifstream log(logPath_);
  std::vector<std::string> lines;
  for (std::string line; std::getline(log, line);) lines.push_back(line);
  return lines;
}

// A deadline only so a broken build cannot hang the suite; no time is asserted.
std::string EditorUnderTest::waitForLine(const std::string& prefix) const {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (std::chrono::steady_clock::now() < deadline) {
    for (const std::string& line : lines()) {
      if (line.rfind(prefix, 0) == 0) return line;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return {};
}

void EditorUnderTest::quit() {
  stopProcess(pid_, SIGTERM);
  pid_ = -1;
}

}  // namespace tessevar::testing
