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
  readEnd_ = ends[0];
  writeEnd_ = ends[1];
  makeNonBlockingAndPrivate(readEnd_);
  makeNonBlockingAndPrivate(writeEnd_);
}

WakeUp::~WakeUp() {
  close(readEnd_);
  close(writeEnd_);
}

void WakeUp::raise() {
  const char byte = 1;
  // A full pipe already wakes the loop, so a failed write loses nothing.
  [[maybe_unused]] ssize_t written = write(writeEnd_, &byte, 1);
}

void WakeUp::drain() {
  char bytes[64];
  while (read(readEnd_, bytes, sizeof bytes) > 0) {
  }
}

}  // namespace tessevar
