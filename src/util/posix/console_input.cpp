#include <unistd.h>

#include <cerrno>

#include "util/console_input.h"

namespace tessevar {

ConsoleInput::int_type ConsoleInput::underflow() {
  if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
  for (;;) {
    std::array<Readable, 2> wanted{Readable{STDIN_FILENO}, Readable{stop_.handle()}};
    if (!waitReadable(wanted, std::nullopt)) continue;  // a signal: look again
    if (wanted[1].ready) return traits_type::eof();
    const ssize_t got = read(STDIN_FILENO, buffer_.data(), buffer_.size());
    if (got < 0 && (errno == EINTR || errno == EAGAIN)) continue;
    if (got <= 0) return traits_type::eof();
    setg(buffer_.data(), buffer_.data(), buffer_.data() + got);
    return traits_type::to_int_type(*gptr());
  }
}

}  // namespace tessevar
