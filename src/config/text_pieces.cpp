#include "config/text_pieces.h"

#include <cstdint>
#include <optional>
#include <utility>

namespace tessevar {

std::vector<std::string_view> splitAt(std::string_view text, char separator) {
  std::vector<std::string_view> pieces;
  std::size_t start = 0;
  for (std::size_t at = text.find(separator); at != std::string_view::npos;
       at = text.find(separator, start)) {
    pieces.push_back(text.substr(start, at - start));
    start = at + 1;
  }
  pieces.push_back(text.substr(start));
  return pieces;
}

namespace {

bool isWhitespace(std::uint32_t c) {
  return c == 0x20 || (c >= 0x09 && c <= 0x0D) || c == 0x85 || c == 0xA0 || c == 0x1680 ||
         (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F ||
         c == 0x205F || c == 0x3000;
}

std::size_t sequenceLength(unsigned char lead) {
  if (lead < 0x80) return 1;
  if ((lead & 0xE0) == 0xC0) return 2;
  if ((lead & 0xF0) == 0xE0) return 3;
  if ((lead & 0xF8) == 0xF0) return 4;
  return 0;
}

// The code point of the well-formed sequence at the start of `text`, with
// its length; nothing for a stray or cut-off byte (never whitespace).
std::optional<std::pair<std::uint32_t, std::size_t>> codePointAt(std::string_view text) {
  const auto lead = static_cast<unsigned char>(text.front());
  const std::size_t length = sequenceLength(lead);
  if (length == 0 || length > text.size()) return std::nullopt;
  std::uint32_t value = length == 1 ? lead : lead & (0x7Fu >> length);
  for (std::size_t i = 1; i < length; ++i) {
    const auto next = static_cast<unsigned char>(text[i]);
    if ((next & 0xC0) != 0x80) return std::nullopt;
    value = (value << 6) | (next & 0x3Fu);
  }
  return std::pair{value, length};
}

// Length of the whitespace sequence that ends `text`, or 0.
std::size_t trailingWhitespaceLength(std::string_view text) {
  std::size_t start = text.size();
  for (std::size_t back = 1; back <= 4 && back <= text.size(); ++back) {
    start = text.size() - back;
    if ((static_cast<unsigned char>(text[start]) & 0xC0) != 0x80) break;
  }
  const auto point = codePointAt(text.substr(start));
  if (point && start + point->second == text.size() && isWhitespace(point->first)) {
    return point->second;
  }
  return 0;
}

}  // namespace

std::string_view trimWhitespace(std::string_view text) {
  while (!text.empty()) {
    const auto point = codePointAt(text);
    if (!point || !isWhitespace(point->first)) break;
    text.remove_prefix(point->second);
  }
  while (!text.empty()) {
    const std::size_t length = trailingWhitespaceLength(text);
    if (length == 0) break;
    text.remove_suffix(length);
  }
  return text;
}

}  // namespace tessevar
