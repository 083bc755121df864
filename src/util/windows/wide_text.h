#pragma once

// Windows speaks UTF-16 in its wide calls; everything inside the program is
// UTF-8. The conversion happens where a wide call is made.

#include <string>
#include <string_view>

namespace tessevar::windows {

// Invalid UTF-16 (a lone surrogate) becomes U+FFFD.
std::string utf8FromWide(std::wstring_view text);

}  // namespace tessevar::windows
