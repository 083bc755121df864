// A hardware-port listing in the networksetup layout. Byte 0 picks the kind
// of input: odd, the rest is the listing as it stands; even, the rest
// describes ports (a kind byte, a length byte, the device name) from which a
// listing is written the way the tool writes it.
//
// Checks: as it stands, a name read is a piece of the listing without
// spaces or line ends, and a listing without a header changes no name;
// written, the names read are the devices of the last Ethernet and the last
// Wi-Fi port (values round-trip).

#include <cstdint>
#include <string>

#include "config/system_lookups.h"
#include "fuzz/fuzz_support.h"

namespace {

using tessevar::PortNames;
using tessevar::fuzz::require;

const std::string untouched = "\x01untouched";

struct PortKind {
  const char* header;  // after "Hardware Port: "
  bool ethernet;
  bool wifi;
};

// Headers the tool prints; only the marker text, contiguous, counts.
constexpr PortKind kinds[] = {
    {"Ethernet", true, false},           {"Ethernet Adaptor (en4)", true, false},
    {"Wi-Fi", false, true},              {"Thunderbolt Ethernet Slot 1", false, false},
    {"Thunderbolt Bridge", false, false}, {"USB 10/100/1000 LAN", false, false},
    {"Bluetooth PAN", false, false},
};

void checkAsItStands(std::string_view listing) {
  PortNames ports{untouched, untouched};
  tessevar::readHardwarePortListing(listing, ports);
  for (const std::string* name : {&ports.ethernetPortName, &ports.wifiPortName}) {
    if (*name == untouched) continue;
    require(name->find_first_of(" \n") == std::string::npos, "a name holds no space or line end");
    require(listing.find(*name) != std::string_view::npos, "a name is a piece of the listing");
  }
  if (listing.find("Hardware Port: Ethernet") == std::string_view::npos) {
    require(ports.ethernetPortName == untouched, "no Ethernet header, no Ethernet name");
  }
  if (listing.find("Hardware Port: Wi-Fi") == std::string_view::npos) {
    require(ports.wifiPortName == untouched, "no Wi-Fi header, no Wi-Fi name");
  }
}

// Device names as the system gives them: no spaces, no line ends.
std::string deviceName(tessevar::fuzz::Reader& in) {
  std::string name = in.text(in.byte() % 16 + 1);
  for (char& c : name) {
    if (c == ' ' || c == '\n') c = '_';
  }
  return name;
}

void checkWritten(tessevar::fuzz::Reader& in) {
  std::string listing = "\n";
  PortNames expected{untouched, untouched};
  while (!in.empty()) {
    const PortKind& kind = kinds[in.byte() % std::size(kinds)];
    const std::string name = deviceName(in);
    listing += std::string("Hardware Port: ") + kind.header + "\nDevice: " + name +
               "\nEthernet Address: 00:1c:42:00:00:08\n\n";
    if (kind.ethernet) expected.ethernetPortName = name;
    if (kind.wifi) expected.wifiPortName = name;
  }
  PortNames ports{untouched, untouched};
  tessevar::readHardwarePortListing(listing, ports);
  require(ports.ethernetPortName == expected.ethernetPortName, "last Ethernet device read back");
  require(ports.wifiPortName == expected.wifiPortName, "last Wi-Fi device read back");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  tessevar::fuzz::Reader in({data, size});
  if (in.byte() & 1) {
    checkAsItStands(in.rest());
  } else {
    checkWritten(in);
  }
  return 0;
}
