#include "socket_headers.h"
#include "util/socket_library.h"

namespace tessevar {

std::optional<std::string> numericHost(const sockaddr* address) {
  useSocketLibrary();
  // Linux has no sa_len; the family tells the length.
  const socklen_t length = address->sa_family == AF_INET6 ? sizeof(sockaddr_in6) : sizeof(sockaddr_in);
  char host[NI_MAXHOST] = {};
  if (getnameinfo(address, length, host, sizeof host, nullptr, 0, NI_NUMERICHOST) != 0) return std::nullopt;
  return std::string(host);
}

}  // namespace tessevar
