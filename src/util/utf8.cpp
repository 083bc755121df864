#include "util/utf8.h"

#include <cstdint>

namespace tessevar {
namespace {

constexpr std::string_view replacement = "\xEF\xBF\xBD";

struct LeadByte {
  std::size_t length;      // 0: not a lead byte
  std::uint8_t low, high;  // allowed range of the second byte
};

// The Unicode table of well-formed sequences: no overlongs, no surrogates,
// nothing above U+10FFFF.
LeadByte classify(std::uint8_t b) {
  if (b < 0x80) return {1, 0, 0};
  if (b >= 0xC2 && b <= 0xDF) return {2, 0x80, 0xBF};
  if (b == 0xE0) return {3, 0xA0, 0xBF};
  if (b == 0xED) return {3, 0x80, 0x9F};
  if (b >= 0xE1 && b <= 0xEF) return {3, 0x80, 0xBF};
  if (b == 0xF0) return {4, 0x90, 0xBF};
  if (b == 0xF4) return {4, 0x80, 0x8F};
  if (b >= 0xF1 && b <= 0xF3) return {4, 0x80, 0xBF};
  return {0, 0, 0};
}

}  // namespace

Utf8Sequence firstUtf8Sequence(std::string_view bytes) {
  const auto lead = static_cast<std::uint8_t>(bytes.front());
  const LeadByte kind = classify(lead);
  if (kind.length == 0) return {U'\uFFFD', 1, false};
  char32_t point = kind.length == 1 ? lead : lead & (0x7Fu >> kind.length);
  std::size_t taken = 1;
  for (; taken < kind.length && taken < bytes.size(); ++taken) {
    const auto b = static_cast<std::uint8_t>(bytes[taken]);
    const std::uint8_t low = taken == 1 ? kind.low : 0x80;
    const std::uint8_t high = taken == 1 ? kind.high : 0xBF;
    if (b < low || b > high) break;
    point = (point << 6) | (b & 0x3Fu);
  }
  if (taken < kind.length) return {U'\uFFFD', taken, false};
  return {point, taken, true};
}

std::string decodeUtf8Lossy(std::string_view bytes) {
  std::string text;
  text.reserve(bytes.size());
  while (!bytes.empty()) {
    const Utf8Sequence sequence = firstUtf8Sequence(bytes);
    text.append(sequence.wellFormed ? bytes.substr(0, sequence.length) : replacement);
    bytes.remove_prefix(sequence.length);
  }
  return text;
}

namespace {

std::string hexEscape(const char* prefix, unsigned value, int digits) {
  static constexpr char hex[] = "0123456789ABCDEF";
  std::string escape(prefix);
  for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4) escape.push_back(hex[(value >> shift) & 0xF]);
  return escape;
}

}  // namespace

std::string escapeControls(std::string_view text) {
  std::string shown;
  shown.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    const auto next = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0u;
    if (byte == '\n') {
      shown += "\\n";
    } else if (byte == '\r') {
      shown += "\\r";
    } else if (byte == '\t') {
      shown += "\\t";
    } else if (byte < 0x20 || byte == 0x7F) {
      shown += hexEscape("\\x", byte, 2);
    } else if (byte == 0xC2 && next >= 0x80 && next <= 0x9F) {  // U+0080..U+009F
      shown += hexEscape("\\u", next, 4);
      ++i;
    } else {
      shown.push_back(static_cast<char>(byte));
    }
  }
  return shown;
}

}  // namespace tessevar
