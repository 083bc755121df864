#pragma once

// Winsock for the Windows files of every layer.

#include <winsock2.h>
#include <ws2tcpip.h>

#include <utility>

namespace tessevar::windows {

// A UDP socket of the given family, or INVALID_SOCKET (WSAGetLastError says
// why). Never inherited by programs this one starts.
SOCKET openUdpSocket(int family);

// Makes the socket's calls return at once instead of blocking.
bool makeNonBlocking(SOCKET socket);

// Two UDP sockets on the loopback address, each connected to the other and
// non-blocking: what a pipe is on POSIX systems, but something WSAPoll can
// wait on. Throws std::system_error when the system gives none.
std::pair<SOCKET, SOCKET> connectedSocketPair();

}  // namespace tessevar::windows
