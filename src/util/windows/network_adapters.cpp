#include "util/windows/network_adapters.h"

#include <iphlpapi.h>
#include <netioapi.h>

#include <cstring>
#include <iterator>

#include "util/socket_library.h"
#include "util/utf8.h"
#include "util/windows/wide_text.h"

namespace tessevar::windows {
namespace {

// Words the settings file cannot keep: its separator and control characters.
bool storable(const std::string& name) {
  return !name.empty() && name.find('-') == std::string::npos && escapeControls(name) == name;
}

std::string systemNameOf(const NET_LUID& luid) {
  wchar_t name[NDIS_IF_MAX_STRING_SIZE + 1] = {};
  if (ConvertInterfaceLuidToNameW(&luid, name, std::size(name)) != NO_ERROR) return {};
  return utf8FromWide(name);
}

bool isHardware(const NET_LUID& luid) {
  MIB_IF_ROW2 row{};
  row.InterfaceLuid = luid;
  return GetIfEntry2(&row) == NO_ERROR && row.InterfaceAndOperStatusFlags.HardwareInterface;
}

NetworkAdapter describe(const IP_ADAPTER_ADDRESSES& entry) {
  NetworkAdapter adapter;
  adapter.systemName = systemNameOf(entry.Luid);
  const std::string friendly = entry.FriendlyName != nullptr ? utf8FromWide(entry.FriendlyName) : std::string();
  adapter.name = storable(friendly) ? friendly : adapter.systemName;
  if (entry.IfType == IF_TYPE_ETHERNET_CSMACD) adapter.kind = NetworkAdapter::Kind::ethernet;
  if (entry.IfType == IF_TYPE_IEEE80211) adapter.kind = NetworkAdapter::Kind::wifi;
  adapter.hardware = isHardware(entry.Luid);
  adapter.loopback = entry.IfType == IF_TYPE_SOFTWARE_LOOPBACK;
  adapter.up = entry.OperStatus == IfOperStatusUp;
  for (const IP_ADAPTER_UNICAST_ADDRESS* unicast = entry.FirstUnicastAddress; unicast != nullptr;
       unicast = unicast->Next) {
    const SOCKET_ADDRESS& socketAddress = unicast->Address;
    if (socketAddress.lpSockaddr == nullptr || socketAddress.iSockaddrLength <= 0 ||
        socketAddress.iSockaddrLength > static_cast<int>(sizeof(sockaddr_storage))) {
      continue;
    }
    AdapterAddress address;
    std::memcpy(&address.address, socketAddress.lpSockaddr, static_cast<std::size_t>(socketAddress.iSockaddrLength));
    address.length = socketAddress.iSockaddrLength;
    address.prefixLength = unicast->OnLinkPrefixLength;
    adapter.addresses.push_back(address);
  }
  return adapter;
}

}  // namespace

std::optional<std::vector<NetworkAdapter>> listNetworkAdapters() {
  useSocketLibrary();
  constexpr ULONG flags = GAA_FLAG_SKIP_ANYCAST | GAA_FLAG_SKIP_MULTICAST | GAA_FLAG_SKIP_DNS_SERVER;
  // The list grows between the size asked and the list taken: ask again.
  ULONG size = 16 * 1024;
  std::vector<unsigned char> room;
  ULONG result = ERROR_BUFFER_OVERFLOW;
  for (int attempt = 0; attempt < 4 && result == ERROR_BUFFER_OVERFLOW; ++attempt) {
    room.resize(size);
    result = GetAdaptersAddresses(AF_UNSPEC, flags, nullptr, reinterpret_cast<IP_ADAPTER_ADDRESSES*>(room.data()),
                                  &size);
  }
  if (result == ERROR_NO_DATA) return std::vector<NetworkAdapter>{};
  if (result != NO_ERROR) return std::nullopt;
  std::vector<NetworkAdapter> adapters;
  for (auto* entry = reinterpret_cast<const IP_ADAPTER_ADDRESSES*>(room.data()); entry != nullptr;
       entry = entry->Next) {
    adapters.push_back(describe(*entry));
  }
  return adapters;
}

}  // namespace tessevar::windows
