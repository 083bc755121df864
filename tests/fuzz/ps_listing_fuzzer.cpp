// A process listing as ps -ax prints it. The first 8 bytes give a process
// id; the rest is a listing as it stands, after which a line for the editor
// with that id is added.
//
// Checks: with no line naming the editor the result is 0; a result is the
// number that a separate reading of the last line naming the editor gives,
// and its digits are in the listing; the added line, being the last, gives
// its id back (round trip).

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "editor/editor.h"
#include "fuzz/fuzz_support.h"
#include "util/text_pieces.h"

namespace {

using tessevar::fuzz::require;

bool namesEditor(std::string_view line) {
  return line.find("X-AIR-Edit") != std::string_view::npos ||
         line.find("M-AIR-Edit") != std::string_view::npos;
}

// The first field read with the C library: a sign, then digits only, in
// range; anything else is 0.
std::int64_t referencePid(std::string_view line) {
  const std::string_view trimmed = tessevar::trimWhitespace(line);
  const std::string field(trimmed.substr(0, trimmed.find(' ')));
  const std::size_t digitsAt = !field.empty() && (field[0] == '+' || field[0] == '-') ? 1 : 0;
  if (field.size() == digitsAt || field.find_first_not_of("0123456789", digitsAt) != std::string::npos) {
    return 0;
  }
  errno = 0;
  const long long value = std::strtoll(field.c_str(), nullptr, 10);
  return errno == ERANGE ? 0 : value;
}

void checkAsItStands(std::string_view listing) {
  const std::int64_t pid = tessevar::editorPidFromListing(listing);
  std::int64_t expected = 0;
  for (std::string_view line : tessevar::splitAt(listing, '\n')) {
    if (namesEditor(line)) expected = referencePid(line);
  }
  require(pid == expected, "the last line naming the editor gives the pid");
  if (pid == 0) return;
  std::string digits = std::to_string(pid);
  if (digits.front() == '-') digits.erase(0, 1);
  require(listing.find(digits) != std::string_view::npos, "the pid's digits are in the listing");
}

void checkAdded(std::string_view listing, std::int64_t pid) {
  const auto padding = static_cast<std::size_t>(pid % 7 < 0 ? -(pid % 7) : pid % 7);
  const std::string line = std::string(padding, ' ') + std::to_string(pid) +
                           " ??         0:01.25 /Applications/X-AIR-Edit.app/Contents/MacOS/X-AIR-Edit";
  const std::string extended = std::string(listing) + "\n" + line + "\n";
  require(tessevar::editorPidFromListing(extended) == pid, "the added last line's pid read back");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  tessevar::fuzz::Reader in({data, size});
  std::int64_t pid = 0;
  const auto pidBytes = in.bytes(sizeof pid);
  std::memcpy(&pid, pidBytes.data(), pidBytes.size());
  const std::string listing = in.rest();
  checkAsItStands(listing);
  checkAdded(listing, pid);
  return 0;
}
