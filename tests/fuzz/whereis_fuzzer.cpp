// whereis output for a tool. Byte 0 gives the length of the tool's name,
// taken from the next bytes; the rest is the output as it stands, and is
// also used to write outputs in both layouts around a path made from it.
//
// Checks: a path found is not empty, is a piece of the output, has no
// whitespace at either end, and in the "NAME: ..." layout no ASCII
// whitespace at all; trimming stays inside its text and trims once for
// all; a path written in either layout is read back (round trip).

#include <cstdint>
#include <string>

#include "fuzz/fuzz_support.h"
#include "system/command_runner.h"
#include "util/text_pieces.h"

namespace {

using tessevar::fuzz::require;

void checkTrim(std::string_view text) {
  const std::string_view trimmed = tessevar::trimWhitespace(text);
  require(tessevar::fuzz::isViewInto(trimmed, text), "trimming stays inside the text");
  require(tessevar::trimWhitespace(trimmed) == trimmed, "trimming twice changes nothing");
}

void checkAsItStands(std::string_view output, const std::string& name) {
  const auto path = tessevar::toolPathFromWhereis(output, name);
  if (!path) return;
  require(!path->empty(), "a path is never empty");
  require(output.find(*path) != std::string_view::npos, "the path is a piece of the output");
  require(tessevar::trimWhitespace(*path) == *path, "no whitespace around the path");
  if (tessevar::trimWhitespace(output).starts_with(name + ":")) {
    require(!tessevar::fuzz::hasAsciiSpace(*path), "one word after NAME:");
  }
}

// The path as whereis prints one: printable, no spaces, not empty.
std::string pathFrom(std::string_view bytes) {
  std::string path = "/";
  for (char c : bytes) path.push_back(static_cast<char>(0x21 + static_cast<unsigned char>(c) % 94));
  return path;
}

// A tool name as whereis is asked for one: small letters.
std::string toolNameFrom(std::string_view bytes) {
  std::string name;
  for (char c : bytes) name.push_back(static_cast<char>('a' + static_cast<unsigned char>(c) % 26));
  return name.empty() ? "ps" : name;
}

void checkWritten(std::string_view bytes, std::string_view nameBytes) {
  const std::string path = pathFrom(bytes);
  const std::string name = toolNameFrom(nameBytes);
  const auto listed = tessevar::toolPathFromWhereis(name + ": " + path + " /usr/share/man/man1/x.1.gz\n", name);
  require(listed == path, "path read back from the NAME: layout");
  require(tessevar::toolPathFromWhereis(" " + path + "\r\n", name) == path, "bare path read back");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  tessevar::fuzz::Reader in({data, size});
  const std::string name = in.text(in.byte() % 8);
  const std::string output = in.rest();
  checkTrim(output);
  checkAsItStands(output, name);
  checkWritten(output, name);
  return 0;
}
