#include "util/text_pieces.h"

#include "util/utf8.h"

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

bool isWhitespace(char32_t c) {
  return c == 0x20 || (c >= 0x09 && c <= 0x0D) || c == 0x85 || c == 0xA0 || c == 0x1680 ||
         (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F ||
         c == 0x205F || c == 0x3000;
}

// Bytes taken by the whitespace character at the front of `text`, or 0.
// Ill-formed bytes are never whitespace.
std::size_t leadingWhitespaceLength(std::string_view text) {
  const Utf8Sequence first = firstUtf8Sequence(text);
  return first.wellFormed && isWhitespace(first.codePoint) ? first.length : 0;
}

// The same for the character that ends `text`: it starts at the last byte
// that is no continuation byte, at most four bytes from the end.
std::size_t trailingWhitespaceLength(std::string_view text) {
  std::size_t start = text.size() - 1;
  while (start > 0 && text.size() - start < 4 && (static_cast<unsigned char>(text[start]) & 0xC0) == 0x80) {
    --start;
  }
  const std::size_t length = leadingWhitespaceLength(text.substr(start));
  return start + length == text.size() ? length : 0;
}

}  // namespace

std::string_view trimWhitespace(std::string_view text) {
  while (!text.empty()) {
    const std::size_t length = leadingWhitespaceLength(text);
    if (length == 0) break;
    text.remove_prefix(length);
  }
  while (!text.empty()) {
    const std::size_t length = trailingWhitespaceLength(text);
    if (length == 0) break;
    text.remove_suffix(length);
  }
  return text;
}

}  // namespace tessevar
