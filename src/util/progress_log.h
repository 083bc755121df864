#pragma once

#include <memory>
#include <ostream>
#include <string_view>

#include "util/line_output.h"

namespace tessevar {

// Lines for someone watching the program work (--verbose), written whole. A
// default-made log says nothing, and callers ask enabled() before building a
// line, so the quiet program pays nothing for it.
class ProgressLog {
 public:
  // On a terminal or in a file each line carries the local time; the
  // journal stamps lines itself and reads a syslog priority ("<6>") instead.
  enum class Format { timestamped, journal };
  enum class Priority { error = 3, warning = 4, notice = 5, info = 6, debug = 7 };

  ProgressLog() = default;
  // The journal's format when `out` is standard error and the journal reads it.
  explicit ProgressLog(std::ostream& out);
  ProgressLog(std::ostream& out, Format format) : out_(std::make_shared<LineOutput>(out)), format_(format) {}

  bool enabled() const { return out_ != nullptr; }
  void note(std::string_view text, Priority priority = Priority::info) const;

 private:
  std::shared_ptr<LineOutput> out_;
  Format format_ = Format::timestamped;
};

// True when `journalStream`, the service manager's JOURNAL_STREAM
// ("DEVICE:INODE"), names the file open as `descriptor`.
bool isJournalStream(const char* journalStream, int descriptor);

}  // namespace tessevar
