#include "editor/editor.h"

#include <signal.h>

#include <cerrno>
#include <charconv>
#include <string>

#include "system/command_runner.h"
#include "util/text_pieces.h"

namespace tessevar {

namespace {

bool namesEditor(std::string_view line) {
  return line.find("X-AIR-Edit") != std::string_view::npos ||
         line.find("M-AIR-Edit") != std::string_view::npos;
}

// A base-10 signed 64-bit number with an optional sign and nothing else;
// 0 for anything that is not one.
std::int64_t parsePid(std::string_view piece) {
  const bool plus = piece.starts_with('+');
  if (plus) piece.remove_prefix(1);  // from_chars takes "-" but not "+"
  const std::string_view digits = !plus && piece.starts_with('-') ? piece.substr(1) : piece;
  if (digits.empty() || digits.front() < '0' || digits.front() > '9') return 0;
  std::int64_t value = 0;
  const char* end = piece.data() + piece.size();
  const auto [stop, error] = std::from_chars(piece.data(), end, value);
  if (error != std::errc() || stop != end) return 0;
  return value;
}

bool processRunning(std::int64_t pid) {
  return pid > 0 && (kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM);
}

}  // namespace

std::int64_t editorPidFromListing(std::string_view listing) {
  std::int64_t pid = 0;
  for (std::string_view line : splitAt(listing, '\n')) {
    if (!namesEditor(line)) continue;
    pid = parsePid(splitAt(trimWhitespace(line), ' ').front());
  }
  return pid;
}

EditorProcessLookup systemEditorProcessLookup() {
  return {findEditorProcess, processRunning, EditorProcessLookup::Clock::now};
}

Result<std::int64_t> findEditorProcess() {
  const Result<std::string> ps = locateTool("ps");
  if (!ps) return Failure{ps.reason()};
  const Result<std::string> listing = runCommand(*ps, {"-ax"});
  if (!listing) return Failure{listing.reason()};
  return editorPidFromListing(*listing);
}

}  // namespace tessevar
