#pragma once

#include <memory>
#include <ostream>
#include <string_view>

#include "util/line_output.h"

namespace tessevar {

// Lines for someone watching the program work (--verbose): each one stamped
// with the local time, written whole. A default-made log says nothing, and
// callers ask enabled() before building a line, so the quiet program pays
// nothing for it.
class ProgressLog {
 public:
  ProgressLog() = default;
  explicit ProgressLog(std::ostream& out) : out_(std::make_shared<LineOutput>(out)) {}

  bool enabled() const { return out_ != nullptr; }
  void note(std::string_view text) const;

 private:
  std::shared_ptr<LineOutput> out_;
};

}  // namespace tessevar
