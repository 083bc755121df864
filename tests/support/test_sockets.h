#pragma once

// The socket calls of the tests' own sockets that differ between systems
// (support/posix/, support/windows/); the rest are the same everywhere.

#include <cstdint>
#include <optional>
#include <string>

namespace tessevar::testing {

// A descriptor on POSIX systems, a SOCKET on Windows.
using TestSocket = std::intptr_t;

// A UDP socket of `family` that the programs a test starts do not inherit;
// -1 when the system gives none.
TestSocket openTestSocket(int family);
void closeTestSocket(TestSocket socket);
// Binds it to an interface (Linux); elsewhere does nothing.
void bindToDevice(TestSocket socket, const char* device);

// The receive flag that keeps a call from blocking where the system has one
// (the wait before it must do elsewhere).
int dontWaitFlag();

// Why a refusal (ICMP port unreachable) never reaches a UDP socket here, if
// it never does: Wine's sockets do not report them.
std::optional<std::string> refusalsUnseen();

}  // namespace tessevar::testing
