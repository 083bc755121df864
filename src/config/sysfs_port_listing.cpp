#include <algorithm>
#include <system_error>
#include <vector>

#include "config/file_io.h"
#include "config/port_discovery.h"
#include "config/text_pieces.h"

namespace tessevar {

namespace {

constexpr std::string_view etherType = "1";  // ARPHRD_ETHER

bool hasEntry(const std::filesystem::path& interface, const char* entry) {
  std::error_code error;
  return std::filesystem::exists(interface / entry, error);
}

bool isEtherType(const std::filesystem::path& interface) {
  const auto type = readWholeFile(interface / "type");
  return type && trimWhitespace(*type) == etherType;
}

// The port kind shown for the interface, or empty for none.
std::string_view portKind(const std::filesystem::path& interface) {
  if (hasEntry(interface, "wireless")) return "Wi-Fi";
  if (isEtherType(interface) && hasEntry(interface, "device")) return "Ethernet";
  return {};
}

}  // namespace

std::optional<std::string> sysfsHardwarePortListing(const std::filesystem::path& netRoot) {
  std::error_code error;
  std::filesystem::directory_iterator entries(netRoot, error);
  if (error) return std::nullopt;
  std::vector<std::filesystem::path> interfaces;
  for (; entries != std::filesystem::directory_iterator(); entries.increment(error)) {
    if (error) return std::nullopt;
    interfaces.push_back(entries->path());
  }
  std::sort(interfaces.begin(), interfaces.end());
  std::string listing;
  for (const auto& interface : interfaces) {
    const std::string_view kind = portKind(interface);
    if (kind.empty()) continue;
    listing.append("Hardware Port: ").append(kind).append("\n");
    listing.append("Device: ").append(interface.filename().string()).append("\n\n");
  }
  return listing;
}

}  // namespace tessevar
