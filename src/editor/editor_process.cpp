#include "editor/editor.h"

#include <charconv>

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

}  // namespace

std::int64_t editorPidFromListing(std::string_view listing) {
  std::int64_t pid = 0;
  for (std::string_view line : splitAt(listing, '\n')) {
    if (!namesEditor(line)) continue;
    pid = parsePid(splitAt(trimWhitespace(line), ' ').front());
  }
  return pid;
}

}  // namespace tessevar
