#include "config/answer_input.h"

#include "util/utf8.h"

namespace tessevar {

std::optional<std::string> readAnswerLine(std::istream& input) {
  std::string line;
  if (!std::getline(input, line)) return std::nullopt;
  const bool endedByLineFeed = !input.eof();
  if (endedByLineFeed && !line.empty() && line.back() == '\r') line.pop_back();
  return decodeUtf8Lossy(line);
}

}  // namespace tessevar
