#pragma once

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "support/eventually.h"

namespace tessevar::testing {

// A test editor's event log: one line per event, appended by the editor.
class EditorLog {
 public:
  explicit EditorLog(std::filesystem::path path) : path_(std::move(path)) {}

  const std::filesystem::path& path() const { return path_; }

  // Every line so far.
  std::vector<std::string> lines() const {
    std::ifstream log(path_);
    std::vector<std::string> lines;
    for (std::string line; std::getline(log, line);) lines.push_back(line);
    return lines;
  }

  // Waits until some line starts with `prefix` and returns it ("" if none
  // came, or the editor stopped running first).
  std::string waitForLine(const std::string& prefix, const std::function<bool()>& running = {}) const {
    std::string found;
    eventually([&] {
      if (running && !running()) return true;
      for (const std::string& line : lines()) {
        if (line.starts_with(prefix)) {
          found = line;
          return true;
        }
      }
      return false;
    });
    return found;
  }

 private:
  std::filesystem::path path_;
};

}  // namespace tessevar::testing
