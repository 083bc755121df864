#include "config/setup_steps.h"

#include "config/osc_message.h"
#include "util/utf8.h"

namespace tessevar {

namespace {

// Names from the network are shown, never obeyed, and kept to a line.
std::string shown(const std::string& text) {
  constexpr std::size_t longest = 64;
  std::string safe = escapeControls(text);
  if (safe.size() <= longest) return safe;
  std::size_t cut = longest;
  while (cut > 0 && (static_cast<unsigned char>(safe[cut]) & 0xC0) == 0x80) --cut;  // not inside a character
  return safe.substr(0, cut) + "...";
}

std::string numbered(std::size_t index, const std::string& text) {
  return "  " + std::to_string(index + 1) + ") " + text;
}

std::string joined(const std::vector<std::string>& parts) {
  std::string text;
  for (const std::string& part : parts) {
    if (part.empty()) continue;
    if (!text.empty()) text += ", ";
    text += part;
  }
  return text;
}

std::string describe(const MixerReply& reply) {
  const MixerInfo& info = reply.info;
  const std::string firmware = info.firmware.empty() ? "" : "firmware " + shown(info.firmware);
  return reply.from + ": " + joined({shown(info.name), shown(info.model), firmware});
}

}  // namespace

Listing listInterfaces(const std::vector<NetworkInterface>& interfaces) {
  Listing listing;
  for (const NetworkInterface& interface : interfaces) {
    if (!interface.usable || interface.addresses.empty()) continue;
    listing.lines.push_back(numbered(listing.choices.size(), shown(interface.name) + ": " + joined(interface.addresses)));
    listing.choices.push_back(interface.name);
  }
  return listing;
}

Listing listMixers(const Result<std::vector<MixerReply>>& found, const std::string& interfaceName) {
  if (!found) return {{"no search for mixers: " + found.reason()}, {}};
  if (found->empty()) {
    return {{"no mixer answered on " + interfaceName + " (UDP port " + std::to_string(mixerDiscoveryPort) +
             "): check that it is switched on and connected to the network of " + interfaceName +
             ", or type its address"},
            {}};
  }
  Listing listing;
  for (const MixerReply& reply : *found) {
    listing.lines.push_back(numbered(listing.choices.size(), describe(reply)));
    listing.choices.push_back(reply.from);
  }
  return listing;
}

std::string surfaceListeningLine(const std::string& interfaceName) {
  return "listening on " + interfaceName + " for the X-Touch: touch one of its faders or buttons now";
}

Listing listSurfaces(const Result<std::vector<std::string>>& heard, const NetworkInterface& interface) {
  if (!heard) return {{"not listening for the X-Touch: " + heard.reason()}, {}};
  if (heard->empty()) {
    const std::string here = interface.ipv4.empty() ? interface.name : interface.ipv4.front().address;
    return {{"nothing heard from an X-Touch: in its setup, check that its network mode for a mixer (Xctl) is on "
             "and that its destination address is this computer's (" + here + ")"},
            {}};
  }
  Listing listing;
  for (const std::string& address : *heard) {
    listing.lines.push_back(numbered(listing.choices.size(), address));
    listing.choices.push_back(address);
  }
  return listing;
}

}  // namespace tessevar
