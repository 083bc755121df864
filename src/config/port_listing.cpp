#include "config/system_lookups.h"
#include "util/text_pieces.h"

#include <cstddef>
#include <vector>

namespace tessevar {

namespace {

constexpr std::string_view ethernetHeader = "Hardware Port: Ethernet";
constexpr std::string_view wifiHeader = "Hardware Port: Wi-Fi";

// The second space-separated piece; a line without a space has none and is
// skipped.
void takeSecondWord(std::string_view line, std::string& name) {
  const auto words = splitAt(line, ' ');
  if (words.size() >= 2) name = std::string(words[1]);
}

}  // namespace

void readHardwarePortListing(std::string_view listing, PortNames& ports) {
  std::size_t ethernetLine = 0;
  std::size_t wifiLine = 0;
  const auto lines = splitAt(listing, '\n');
  for (std::size_t n = 0; n < lines.size(); ++n) {
    const std::string_view line = lines[n];
    if (line.find(ethernetHeader) != std::string_view::npos) ethernetLine = n + 1;
    if (n != 0 && n == ethernetLine) takeSecondWord(line, ports.ethernetPortName);
    if (line.find(wifiHeader) != std::string_view::npos) wifiLine = n + 1;
    if (n != 0 && n == wifiLine) takeSecondWord(line, ports.wifiPortName);
  }
}

}  // namespace tessevar
