#include "util/utf8.h"

#include <cstdint>

namespace tessevar {
namespace {

constexpr std::string_view replacement = "\xEF\xBF\xBD";

struct LeadByte {
  std::size_t length;          // 0: not a lead byte
  std::uint8_t low, high;      // allowed range of the second byte
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

// How many bytes from `i` on belong to one sequence that is well-formed so
// far; equal to the lead's length when the sequence is complete.
std::size_t wellFormedPrefix(std::string_view bytes, std::size_t i, const LeadByte& lead) {
  std::size_t k = 1;
  while (k < lead.length && i + k < bytes.size()) {
    const auto b = static_cast<std::uint8_t>(bytes[i + k]);
    const std::uint8_t low = k == 1 ? lead.low : 0x80;
    const std::uint8_t high = k == 1 ? lead.high : 0xBF;
    if (b < low || b > high) break;
    ++k;
  }
  return k;
}

}  // namespace

std::string decodeUtf8Lossy(std::string_view bytes) {
  std::string text;
  text.reserve(bytes.size());
  std::size_t i = 0;
  while (i < bytes.size()) {
    const LeadByte lead = classify(static_cast<std::uint8_t>(bytes[i]));
    if (lead.length == 0) {
      text.append(replacement);
      ++i;
      continue;
    }
    const std::size_t prefix = wellFormedPrefix(bytes, i, lead);
    if (prefix == lead.length) {
      text.append(bytes.substr(i, prefix));
    } else {
      // One replacement for the maximal well-formed-so-far prefix.
      text.append(replacement);
    }
    i += prefix;
  }
  return text;
}

}  // namespace tessevar
