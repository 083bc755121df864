#include "support/test_sockets.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>

namespace tessevar::testing {

TestSocket openTestSocket(int family) {
  const int descriptor = socket(family, SOCK_DGRAM, 0);
  // Not inherited by the programs a test starts (macOS has no SOCK_CLOEXEC).
  if (descriptor >= 0) fcntl(descriptor, F_SETFD, FD_CLOEXEC);
  return descriptor;
}

void closeTestSocket(TestSocket socket) { close(static_cast<int>(socket)); }

void bindToDevice([[maybe_unused]] TestSocket socket, [[maybe_unused]] const char* device) {
#ifdef SO_BINDTODEVICE
  setsockopt(static_cast<int>(socket), SOL_SOCKET, SO_BINDTODEVICE, device, static_cast<socklen_t>(std::strlen(device)));
#endif
}

int dontWaitFlag() { return MSG_DONTWAIT; }

std::optional<std::string> refusalsUnseen() { return std::nullopt; }

}  // namespace tessevar::testing
