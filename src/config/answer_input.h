#pragma once

#include <istream>
#include <optional>
#include <string>

namespace tessevar {

// One operator line without its "\n" or "\r\n", decoded as lossy UTF-8; a
// last line without a line end is taken whole. Nothing at end of input.
std::optional<std::string> readAnswerLine(std::istream& input);

}  // namespace tessevar
