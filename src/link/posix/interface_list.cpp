#include <ifaddrs.h>

#include <vector>

#include "link/interface_address.h"

namespace tessevar {

std::optional<std::string> interfaceAddress(std::string_view portName, const PeerAddresses& peers) {
  ifaddrs* list = nullptr;
  if (getifaddrs(&list) != 0) return std::string();
  std::vector<InterfaceEntry> entries;
  for (const ifaddrs* item = list; item != nullptr; item = item->ifa_next) {
    entries.push_back({item->ifa_name, item->ifa_flags, item->ifa_addr});
  }
  std::optional<std::string> result = chooseInterfaceAddress(entries, portName, peers);
  freeifaddrs(list);
  return result;
}

}  // namespace tessevar
