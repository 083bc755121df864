#pragma once

#include <string>
#include <string_view>

namespace tessevar {

// Text from files, command output and the operator is taken as UTF-8; every
// malformed sequence becomes U+FFFD, so decoding never fails.
std::string decodeUtf8Lossy(std::string_view bytes);

// Decoded text made safe to show on a terminal: control characters (C0, DEL
// and C1) are written as escapes (\n, \r, \t, \xNN, \u00NN), so text from a
// file cannot move the cursor, clear the screen or retitle the window.
std::string escapeControls(std::string_view text);

}  // namespace tessevar
