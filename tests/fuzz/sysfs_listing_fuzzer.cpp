// A made-up /sys/class/net folder, built from the input: per interface a
// flags byte (bit 0: a `wireless` entry, bit 1: a `device` entry, bit 2: no
// `type` file), a name (length byte, then bytes, made into a name the kernel
// allows) and a `type` file (length byte, then bytes over "1 0\t\n").
//
// Checks: the names read from the folder are, as Wi-Fi, the last wireless
// interface and, as Ethernet, the last device-backed one of type 1 that is
// not wireless, in name order; a kind not found keeps its former name.

#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>

#include "config/system_lookups.h"
#include "fuzz/fuzz_support.h"
#include "support/temp_folder.h"

namespace {

namespace fs = std::filesystem;
using tessevar::PortNames;
using tessevar::fuzz::require;

const std::string none = "\x01none";

struct Interface {
  bool wireless = false;
  bool device = false;
  bool etherType = false;
};

// Interface names are not empty, cannot hold "/", ":", NUL or ASCII
// whitespace, and are not "." or "..".
std::string interfaceName(tessevar::fuzz::Reader& in) {
  std::string name = in.text(in.byte() % 15 + 1);
  for (char& c : name) {
    if (c == '/' || c == ':' || c == '\0' || c == ' ' || (c >= '\t' && c <= '\r')) c = 'e';
  }
  if (name.empty() || name == "." || name == "..") name = "dot";
  return name;
}

std::string typeText(tessevar::fuzz::Reader& in) {
  static constexpr char alphabet[] = {'1', ' ', '0', '\t', '\n'};
  std::string text;
  for (std::uint8_t b : in.bytes(in.byte() % 6)) text.push_back(alphabet[b % std::size(alphabet)]);
  return text;
}

bool isTypeOne(std::string_view text) {
  const auto first = text.find_first_not_of(" \t\n");
  const auto last = text.find_last_not_of(" \t\n");
  return first != std::string_view::npos && text.substr(first, last - first + 1) == "1";
}

void makeInterface(const fs::path& folder, const std::string& type, std::uint8_t flags) {
  fs::create_directory(folder);
  if (flags & 1) fs::create_directory(folder / "wireless");
  if (flags & 2) fs::create_directory(folder / "device");
  if (!(flags & 4)) tessevar::testing::writeBytes(folder / "type", type);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static tessevar::testing::TempFolder scratch;
  const fs::path root = scratch.path() / "net";
  fs::remove_all(root);
  fs::create_directory(root);

  tessevar::fuzz::Reader in({data, size});
  std::map<std::string, Interface> interfaces;  // in name order, as listed
  while (!in.empty()) {
    const std::uint8_t flags = in.byte();
    const std::string name = interfaceName(in);
    const std::string type = typeText(in);
    if (interfaces.count(name) != 0) continue;
    makeInterface(root / name, type, flags);
    interfaces[name] = {(flags & 1) != 0, (flags & 2) != 0, !(flags & 4) && isTypeOne(type)};
  }

  PortNames expected{.ethernetPortName = none, .wifiPortName = none};
  for (const auto& [name, interface] : interfaces) {
    if (interface.wireless) expected.wifiPortName = name;
    if (!interface.wireless && interface.device && interface.etherType) expected.ethernetPortName = name;
  }
  PortNames ports{.ethernetPortName = none, .wifiPortName = none};
  require(tessevar::readSysfsPortNames(root, ports), "a readable folder gives names");
  require(ports.ethernetPortName == expected.ethernetPortName, "last Ethernet interface named");
  require(ports.wifiPortName == expected.wifiPortName, "last Wi-Fi interface named");
  return 0;
}
