#pragma once

#include <string>
#include <string_view>

namespace tessevar {

// Text from files, command output and the operator is taken as UTF-8; every
// malformed sequence becomes U+FFFD, so decoding never fails.
std::string decodeUtf8Lossy(std::string_view bytes);

}  // namespace tessevar
