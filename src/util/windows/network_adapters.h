#pragma once

// The network adapters as Windows lists them, for the links (the address to
// bind) and the setup (the interfaces, the Ethernet and Wi-Fi hints).

#include <optional>
#include <string>
#include <vector>

#include "socket_headers.h"

namespace tessevar::windows {

struct AdapterAddress {
  sockaddr_storage address{};
  int length = 0;
  unsigned prefixLength = 0;  // of the subnet on the link
};

struct NetworkAdapter {
  // What the settings call it: the name the user sees ("Ethernet") when the
  // settings file can hold it, else the system's own ("wireless_32768"),
  // since the file separates its values with "-" and Windows calls its
  // wireless adapters "Wi-Fi".
  std::string name;
  std::string systemName;  // ASCII letters, digits and "_", unique
  enum class Kind { ethernet, wifi, other } kind = Kind::other;
  bool hardware = false;  // a network card, no virtual or tunnel adapter
  bool loopback = false;
  bool up = false;
  std::vector<AdapterAddress> addresses;  // unicast, IPv4 and IPv6
};

// Every adapter in the system's order, or nothing when the list cannot be had.
std::optional<std::vector<NetworkAdapter>> listNetworkAdapters();

}  // namespace tessevar::windows
