#include "support/test_sockets.h"

#include <windows.h>

#include "util/windows/socket_calls.h"

namespace tessevar::testing {

TestSocket openTestSocket(int family) {
  const SOCKET socket = windows::openUdpSocket(family);
  return socket == INVALID_SOCKET ? -1 : static_cast<TestSocket>(socket);
}

void closeTestSocket(TestSocket socket) { closesocket(static_cast<SOCKET>(socket)); }

void bindToDevice(TestSocket, const char*) {}

int dontWaitFlag() { return 0; }

std::optional<std::string> refusalsUnseen() {
  const HMODULE system = GetModuleHandleW(L"ntdll.dll");
  if (system == nullptr || GetProcAddress(system, "wine_get_version") == nullptr) return std::nullopt;
  return "Wine's UDP sockets report no ICMP port unreachable; Windows' report it as WSAECONNRESET";
}

}  // namespace tessevar::testing
