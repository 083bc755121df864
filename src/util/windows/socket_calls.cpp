#include "util/windows/socket_calls.h"

#include <mutex>
#include <system_error>

#include "util/socket_library.h"
#include "util/windows/system_errors.h"

namespace tessevar {

void useSocketLibrary() {
  static std::once_flag started;
  std::call_once(started, [] {
    WSADATA data{};
    // Never cleaned up: sockets are in use until the process ends.
    if (const int error = WSAStartup(MAKEWORD(2, 2), &data); error != 0) {
      throw std::system_error(error, std::system_category(), "Winsock");
    }
  });
}

// Windows' resolver reports Winsock errors.
std::string resolverErrorText(int error) { return windows::errorText(static_cast<unsigned long>(error)); }

namespace windows {

SOCKET openUdpSocket(int family) {
  useSocketLibrary();
  return WSASocketW(family, SOCK_DGRAM, IPPROTO_UDP, nullptr, 0, WSA_FLAG_OVERLAPPED | WSA_FLAG_NO_HANDLE_INHERIT);
}

bool makeNonBlocking(SOCKET socket) {
  u_long on = 1;
  return ioctlsocket(socket, FIONBIO, &on) == 0;
}

std::pair<SOCKET, SOCKET> connectedSocketPair() {
  SOCKET ends[2] = {openUdpSocket(AF_INET), openUdpSocket(AF_INET)};
  sockaddr_in addresses[2]{};
  bool made = ends[0] != INVALID_SOCKET && ends[1] != INVALID_SOCKET;
  for (int i = 0; made && i < 2; ++i) {
    addresses[i].sin_family = AF_INET;
    addresses[i].sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int length = sizeof addresses[i];
    made = bind(ends[i], reinterpret_cast<const sockaddr*>(&addresses[i]), length) == 0 &&
           getsockname(ends[i], reinterpret_cast<sockaddr*>(&addresses[i]), &length) == 0;
  }
  for (int i = 0; made && i < 2; ++i) {
    made = connect(ends[i], reinterpret_cast<const sockaddr*>(&addresses[1 - i]), sizeof addresses[1 - i]) == 0 &&
           makeNonBlocking(ends[i]);
  }
  if (!made) {
    const int error = WSAGetLastError();
    for (SOCKET end : ends) {
      if (end != INVALID_SOCKET) closesocket(end);
    }
    throw std::system_error(error, std::system_category(), "wake-up sockets");
  }
  return {ends[0], ends[1]};
}

}  // namespace windows
}  // namespace tessevar
