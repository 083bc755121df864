#include "util/wake_up.h"

#include "util/windows/socket_calls.h"

namespace tessevar {

WakeUp::WakeUp() {
  const auto [readEnd, writeEnd] = windows::connectedSocketPair();
  readEnd_ = static_cast<PollHandle>(readEnd);
  writeEnd_ = static_cast<PollHandle>(writeEnd);
}

WakeUp::~WakeUp() {
  closesocket(static_cast<SOCKET>(readEnd_));
  closesocket(static_cast<SOCKET>(writeEnd_));
}

void WakeUp::raise() noexcept {
  const char byte = 1;
  // A full buffer already wakes the loop, so a failed send loses nothing.
  send(static_cast<SOCKET>(writeEnd_), &byte, 1, 0);
}

void WakeUp::drain() {
  char bytes[64];
  while (recv(static_cast<SOCKET>(readEnd_), bytes, sizeof bytes, 0) >= 0) {
  }
}

}  // namespace tessevar
