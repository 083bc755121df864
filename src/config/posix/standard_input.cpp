#include <poll.h>
#include <unistd.h>

#include <string>

#include "config/setup_steps.h"

namespace tessevar {

bool answersMayCome(std::istream& input) {
  if (isatty(STDIN_FILENO)) return true;
  pollfd in{STDIN_FILENO, POLLIN, 0};
  const int polled = poll(&in, 1, 0);
  if (polled < 0 || (in.revents & POLLNVAL) != 0) return false;  // no standard input at all
  if (polled == 0) return true;  // nothing yet, but a writer may still answer
  return input.peek() != std::char_traits<char>::eof();  // readable: ended, or an answer waits
}

}  // namespace tessevar
