#include "config/osc_message.h"

#include <algorithm>

#include "util/utf8.h"

namespace tessevar {

namespace {

constexpr std::string_view mixerInfoAddress = "/xinfo";

void appendPadded(std::vector<std::uint8_t>& out, std::string_view text) {
  out.insert(out.end(), text.begin(), text.end());
  do {
    out.push_back(0);
  } while (out.size() % 4 != 0);
}

// Reads the padded string at `offset` and moves past it; nothing when no
// zero byte ends it inside the datagram.
std::optional<std::string> readPadded(std::span<const std::uint8_t> datagram, std::size_t& offset) {
  const auto start = datagram.begin() + static_cast<std::ptrdiff_t>(offset);
  const auto end = std::find(start, datagram.end(), std::uint8_t{0});
  if (end == datagram.end()) return std::nullopt;
  std::string text(start, end);
  const std::size_t afterZero = static_cast<std::size_t>(end - datagram.begin()) + 1;
  offset = std::min((afterZero + 3) / 4 * 4, datagram.size());
  return text;
}

}  // namespace

std::vector<std::uint8_t> encodeOscMessage(const OscMessage& message) {
  std::vector<std::uint8_t> out;
  appendPadded(out, message.address);
  std::string tags(message.arguments.size() + 1, 's');
  tags.front() = ',';
  appendPadded(out, tags);
  for (const std::string& argument : message.arguments) appendPadded(out, argument);
  return out;
}

std::optional<OscMessage> parseOscMessage(std::span<const std::uint8_t> datagram) {
  std::size_t offset = 0;
  std::optional<std::string> address = readPadded(datagram, offset);
  if (!address || !address->starts_with('/')) return std::nullopt;
  std::optional<std::string> tags = readPadded(datagram, offset);
  if (!tags || !tags->starts_with(',')) return std::nullopt;
  OscMessage message{.address = std::move(*address), .arguments = {}};
  for (const char tag : std::string_view(*tags).substr(1)) {
    std::optional<std::string> argument = tag == 's' ? readPadded(datagram, offset) : std::nullopt;
    if (!argument) return std::nullopt;
    message.arguments.push_back(std::move(*argument));
  }
  return message;
}

std::vector<std::uint8_t> mixerQuery() { return encodeOscMessage({std::string(mixerInfoAddress), {}}); }

std::vector<std::uint8_t> mixerAnswer(const MixerInfo& info) {
  return encodeOscMessage({std::string(mixerInfoAddress), {info.address, info.name, info.model, info.firmware}});
}

std::optional<MixerInfo> parseMixerAnswer(std::span<const std::uint8_t> datagram) {
  const std::optional<OscMessage> message = parseOscMessage(datagram);
  if (!message || message->address != mixerInfoAddress || message->arguments.size() < 4) return std::nullopt;
  const auto& a = message->arguments;
  return MixerInfo{.address = decodeUtf8Lossy(a[0]),
                   .name = decodeUtf8Lossy(a[1]),
                   .model = decodeUtf8Lossy(a[2]),
                   .firmware = decodeUtf8Lossy(a[3])};
}

}  // namespace tessevar
