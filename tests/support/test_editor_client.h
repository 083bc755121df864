#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

#include "support/editor_log.h"

namespace tessevar::testing {

// One running copy of the test editor (test_editor.cpp) and its event log.
class EditorUnderTest {
 public:
  // Starts `program` on `display` with `args` and waits for its "ready" line.
  EditorUnderTest(const std::string& program, const std::string& display,
                  const std::vector<std::string>& args = {});
  ~EditorUnderTest();
  EditorUnderTest(const EditorUnderTest&) = delete;
  EditorUnderTest& operator=(const EditorUnderTest&) = delete;

  bool ready() const { return window_ != 0; }
  std::int64_t window() const { return window_; }
  pid_t pid() const { return pid_; }

  // Every log line so far, "ready ..." included.
  std::vector<std::string> lines() const { return log_.lines(); }
  // Waits until some line starts with `prefix` and returns it ("" if none came).
  std::string waitForLine(const std::string& prefix) const { return log_.waitForLine(prefix); }
  // Ends the editor and reaps it.
  void quit();

 private:
  EditorLog log_;
  pid_t pid_ = -1;
  std::int64_t window_ = 0;
};

// Whether a log line is a click ("button ...") or a key ("key ...").
inline bool isClickLine(const std::string& line) { return line.starts_with("button"); }
inline bool isKeyLine(const std::string& line) { return line.starts_with("key"); }

// Where the test editor binary was built.
std::string testEditorProgram();

}  // namespace tessevar::testing
