#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tessevar {

// Every piece between separators, empty ones included: "a--b" gives
// "a", "", "b" and "" gives one empty piece.
std::vector<std::string_view> splitAt(std::string_view text, char separator);

// The text without whitespace and line ends at either end, with the Unicode
// space and line separators counted as whitespace too. Bytes that are not
// well-formed UTF-8 (an overlong space, say) are never whitespace.
std::string_view trimWhitespace(std::string_view text);

}  // namespace tessevar
