#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tessevar {

// One sequence read from the front of some bytes.
struct Utf8Sequence {
  char32_t codePoint;  // U+FFFD when not well-formed
  std::size_t length;  // the whole sequence, or the ill-formed part that one U+FFFD replaces
  bool wellFormed;
};

// The sequence at the front of `bytes` (not empty), by the Unicode table of
// well-formed sequences: no overlong forms, no surrogates, nothing above
// U+10FFFF. An ill-formed one is its longest start that could still have
// become well-formed, at least one byte.
Utf8Sequence firstUtf8Sequence(std::string_view bytes);

// Text from files, command output and the operator is taken as UTF-8; every
// malformed sequence becomes U+FFFD, so decoding never fails.
std::string decodeUtf8Lossy(std::string_view bytes);

// Decoded text made safe to show on a terminal: control characters (C0, DEL
// and C1) are written as escapes (\n, \r, \t, \xNN, \u00NN), so text from a
// file cannot move the cursor, clear the screen or retitle the window.
std::string escapeControls(std::string_view text);

}  // namespace tessevar
