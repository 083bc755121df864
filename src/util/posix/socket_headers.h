#pragma once

// The system's socket declarations, for code shared by every system; the
// layer's build puts this folder (or windows/) on the include path.

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
