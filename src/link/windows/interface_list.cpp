#include "link/interface_address.h"
#include "util/windows/network_adapters.h"

namespace tessevar {

// Each adapter answers to its name in the settings and to its system name.
std::optional<std::string> interfaceAddress(std::string_view portName, const PeerAddresses& peers) {
  const std::optional<std::vector<windows::NetworkAdapter>> adapters = windows::listNetworkAdapters();
  if (!adapters) return std::string();
  std::vector<InterfaceEntry> entries;
  for (const windows::NetworkAdapter& adapter : *adapters) {
    const unsigned int flags =
        (adapter.up ? interfaceUp | interfaceRunning : 0u) | (adapter.loopback ? interfaceLoopback : 0u);
    for (const windows::AdapterAddress& address : adapter.addresses) {
      const auto* plain = reinterpret_cast<const sockaddr*>(&address.address);
      entries.push_back({adapter.name.c_str(), flags, plain});
      if (adapter.systemName != adapter.name) entries.push_back({adapter.systemName.c_str(), flags, plain});
    }
  }
  return chooseInterfaceAddress(entries, portName, peers);
}

}  // namespace tessevar
