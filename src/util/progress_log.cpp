#include "util/progress_log.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <iostream>
#include <string>

#include "util/local_time.h"
#include "util/utf8.h"

namespace tessevar {

namespace {

// "2026-12-09 14:03:27.512"
std::string timestamp() {
  const auto now = std::chrono::system_clock::now();
  const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  const auto millis =
      std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
  const std::tm local = localTime(seconds);
  char text[32];
  const std::size_t length = std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
  std::snprintf(text + length, sizeof text - length, ".%03lld", static_cast<long long>(millis));
  return text;
}

constexpr int standardError = 2;

ProgressLog::Format formatFor(const std::ostream& out) {
  const bool journal = out.rdbuf() == std::cerr.rdbuf() && isJournalStream(std::getenv("JOURNAL_STREAM"), standardError);
  return journal ? ProgressLog::Format::journal : ProgressLog::Format::timestamped;
}

}  // namespace

ProgressLog::ProgressLog(std::ostream& out) : ProgressLog(out, formatFor(out)) {}

void ProgressLog::note(std::string_view text, Priority priority) const {
  if (!out_) return;
  // Window and owner names and addresses come from outside: none may drive the terminal.
  // The syslog priority is one digit: "<6>".
  const std::string mark = format_ == Format::journal
                               ? std::string{'<', static_cast<char>('0' + static_cast<int>(priority)), '>'}
                               : timestamp() + " ";
  out_->line(mark + escapeControls(text));
}

}  // namespace tessevar
