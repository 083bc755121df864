#include "util/wake_up.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

namespace tessevar {
namespace {

// pipe2 and eventfd are not on macOS; fcntl is.
void makeNonBlockingAndPrivate(int descriptor) {
  fcntl(descriptor, F_SETFL, fcntl(descriptor, F_GETFL) | O_NONBLOCK);
  fcntl(descriptor, F_SETFD, fcntl(descriptor, F_GETFD) | FD_CLOEXEC);
}

}  // namespace

WakeUp::WakeUp() {
  int ends[2];
  if (pipe(ends) != 0) throw std::system_error(errno, std::generic_category(), "wake-up pipe");
  makeNonBlockingAndPrivate(ends[0]);
  makeNonBlockingAndPrivate(ends[1]);
  readEnd_ = ends[0];
  writeEnd_ = ends[1];
}

WakeUp::~WakeUp() {
  close(static_cast<int>(readEnd_));
  close(static_cast<int>(writeEnd_));
}

void WakeUp::raise() noexcept {
  const char byte = 1;
  // A full pipe already wakes the loop, so a failed write loses nothing.
  [[maybe_unused]] ssize_t written = write(static_cast<int>(writeEnd_), &byte, 1);
}

void WakeUp::drain() {
  char bytes[64];
  while (read(static_cast<int>(readEnd_), bytes, sizeof bytes) > 0) {
  }
}

}  // namespace tessevar
