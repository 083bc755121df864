#include <optional>
#include <string>
#include <system_error>

#include "config/system_lookups.h"
#include "system/file_io.h"
#include "util/text_pieces.h"

namespace tessevar {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view etherType = "1";  // ARPHRD_ETHER

bool hasEntry(const fs::path& interface, const char* entry) {
  std::error_code error;
  return fs::exists(interface / entry, error);
}

bool isEtherType(const fs::path& interface) {
  const auto type = readWholeFile(interface / "type");
  return type && trimWhitespace(*type) == etherType;
}

// The names found so far; the folder is not listed in any order, and the
// last name in name order is the one kept, as on macOS the last port listed
// wins.
struct FoundPorts {
  std::optional<std::string> ethernet;
  std::optional<std::string> wifi;

  void add(const fs::path& interface) {
    if (hasEntry(interface, "wireless")) {
      keepLast(wifi, interface.filename().string());
    } else if (isEtherType(interface) && hasEntry(interface, "device")) {
      keepLast(ethernet, interface.filename().string());
    }
  }

  static void keepLast(std::optional<std::string>& kept, std::string name) {
    if (!kept || *kept < name) kept = std::move(name);
  }
};

}  // namespace

bool readSysfsPortNames(const fs::path& netRoot, PortNames& ports) {
  std::error_code error;
  FoundPorts found;
  for (fs::directory_iterator entries(netRoot, error); !error && entries != fs::directory_iterator();
       entries.increment(error)) {
    found.add(entries->path());
  }
  // A folder that could not be read to its end gives no names at all.
  if (error) return false;
  if (found.ethernet) ports.ethernetPortName = std::move(*found.ethernet);
  if (found.wifi) ports.wifiPortName = std::move(*found.wifi);
  return true;
}

}  // namespace tessevar
