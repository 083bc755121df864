#pragma once

#include <cstddef>
#include <istream>
#include <optional>
#include <string>

namespace tessevar {

// Longer than any interface name, address or host name; a longer line is
// not taken, so a stream without line ends cannot fill the memory.
inline constexpr std::size_t longestAnswer = 1024;

struct AnswerLine {
  std::string text;      // decoded; empty when the line was too long
  bool tooLong = false;  // more than longestAnswer bytes: the rest of the line was skipped
};

// One operator line without its "\n" or "\r\n", decoded as lossy UTF-8; a
// last line without a line end is taken whole. Nothing at end of input.
std::optional<AnswerLine> readAnswerLine(std::istream& input);

// Whether anyone can still answer on `input`, the standard input: a
// terminal, or a pipe or file that has not ended. False for /dev/null, as
// under a service manager, so the questions are not asked into the void.
bool answersMayCome(std::istream& input);

}  // namespace tessevar
