#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tessevar {

// The mixers of this family answer a discovery query on this UDP port.
inline constexpr std::uint16_t mixerDiscoveryPort = 10024;

// An OSC message whose arguments are all strings, which is all that the
// discovery speaks.
struct OscMessage {
  std::string address;
  std::vector<std::string> arguments;

  bool operator==(const OscMessage&) const = default;
};

// The message in OSC 1.0 form: the address, the type tags (",sss"), then
// each string; each ends with 1 to 4 zero bytes, to a multiple of four.
// Texts must not hold a zero byte.
std::vector<std::uint8_t> encodeOscMessage(const OscMessage& message);

// The message in a datagram, or nothing when it is not an OSC message with
// string arguments only. A last string may end without its padding.
std::optional<OscMessage> parseOscMessage(std::span<const std::uint8_t> datagram);

// What a mixer says of itself in its answer to "/xinfo", decoded as UTF-8.
struct MixerInfo {
  std::string address;
  std::string name;
  std::string model;
  std::string firmware;

  bool operator==(const MixerInfo&) const = default;
};

// "/xinfo" with no arguments.
std::vector<std::uint8_t> mixerQuery();

// "/xinfo" with the four strings, as a mixer answers.
std::vector<std::uint8_t> mixerAnswer(const MixerInfo& info);

// The mixer's answer, or nothing when the datagram is not "/xinfo" with at
// least four strings; strings after the fourth are ignored.
std::optional<MixerInfo> parseMixerAnswer(std::span<const std::uint8_t> datagram);

}  // namespace tessevar
