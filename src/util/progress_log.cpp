#include "util/progress_log.h"

#include <chrono>
#include <cstdio>
#include <ctime>
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

}  // namespace

void ProgressLog::note(std::string_view text) const {
  if (!out_) return;
  // Window and owner names and addresses come from outside: none may drive the terminal.
  out_->line(timestamp() + " " + escapeControls(text));
}

}  // namespace tessevar
