#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "support/editor_log.h"
#include "support/temp_folder.h"

namespace tessevar::testing {

// One running copy of the Windows test editor (test_editor.cpp) and its
// event log.
class WindowsEditor {
 public:
  // Starts the test editor with `args` and waits for its "ready" line. With
  // another `name`, a copy of it named `name`.exe runs: its windows then
  // belong to another application.
  explicit WindowsEditor(const std::vector<std::string>& args = {}, const std::string& name = "X-AIR-Edit");
  ~WindowsEditor();
  WindowsEditor(const WindowsEditor&) = delete;
  WindowsEditor& operator=(const WindowsEditor&) = delete;

  bool ready() const { return window_ != nullptr; }
  HWND window() const { return window_; }
  DWORD pid() const { return process_.dwProcessId; }
  // Where a point of its client area lies on the screen.
  POINT screenPoint(POINT client) const;

  std::vector<std::string> lines() const { return log_.lines(); }
  std::string waitForLine(const std::string& prefix) const { return log_.waitForLine(prefix); }

 private:
  TempFolder folder_;
  EditorLog log_;
  PROCESS_INFORMATION process_{};
  HWND window_ = nullptr;
};

}  // namespace tessevar::testing
