#pragma once

#include <initializer_list>
#include <mutex>
#include <ostream>
#include <string_view>

namespace tessevar {

// Console lines come from several threads (link states, console, setup).
// Each line is written with one call under one lock and flushed at once, so
// lines never interleave and a reader on a pipe sees them immediately.
class LineOutput {
 public:
  explicit LineOutput(std::ostream& out) : out_(out) {}

  void line(std::string_view text);
  // Several lines kept together, with nothing of another thread between them.
  void lines(std::initializer_list<std::string_view> texts);

 private:
  std::mutex mutex_;
  std::ostream& out_;
};

}  // namespace tessevar
