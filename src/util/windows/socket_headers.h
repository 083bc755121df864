#pragma once

// The system's socket declarations, for code shared by every system; the
// layer's build puts this folder (or posix/) on the include path.

#include <winsock2.h>
#include <ws2tcpip.h>
