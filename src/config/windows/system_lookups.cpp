#include "config/system_lookups.h"

#include <windows.h>
#include <knownfolders.h>
#include <shlobj.h>

#include "util/windows/network_adapters.h"

namespace tessevar {

// The network cards among the adapters give the hints; of several of a
// kind, the last listed, as on macOS.
bool discoverPortNames(PortNames& ports) {
  const auto adapters = windows::listNetworkAdapters();
  if (!adapters) return false;
  for (const windows::NetworkAdapter& adapter : *adapters) {
    if (!adapter.hardware) continue;
    if (adapter.kind == windows::NetworkAdapter::Kind::ethernet) ports.ethernetPortName = adapter.name;
    if (adapter.kind == windows::NetworkAdapter::Kind::wifi) ports.wifiPortName = adapter.name;
  }
  return true;
}

// Wherever the user has moved it (OneDrive, another drive).
std::optional<std::filesystem::path> documentsFolder() {
  wchar_t* path = nullptr;
  const HRESULT found = SHGetKnownFolderPath(FOLDERID_Documents, KF_FLAG_DONT_VERIFY, nullptr, &path);
  std::optional<std::filesystem::path> folder;
  if (SUCCEEDED(found) && path != nullptr) folder = std::filesystem::path(path);
  CoTaskMemFree(path);
  return folder;
}

}  // namespace tessevar
