#include "config/answer_input.h"

#include <limits>

#include "util/utf8.h"

namespace tessevar {

std::optional<AnswerLine> readAnswerLine(std::istream& input) {
  std::string line;
  bool endedByLineFeed = false;
  for (char c; input.get(c);) {
    if (c == '\n') {
      endedByLineFeed = true;
      break;
    }
    if (line.size() > longestAnswer) {  // one byte more than allowed: a "\r" may still go
      input.ignore(std::numeric_limits<std::streamsize>::max(), '\n');
      return AnswerLine{.text = {}, .tooLong = true};
    }
    line.push_back(c);
  }
  if (!endedByLineFeed && line.empty()) return std::nullopt;
  if (endedByLineFeed && !line.empty() && line.back() == '\r') line.pop_back();
  if (line.size() > longestAnswer) return AnswerLine{.text = {}, .tooLong = true};
  return AnswerLine{.text = decodeUtf8Lossy(line), .tooLong = false};
}

}  // namespace tessevar
