#pragma once

// Why a Windows call failed, for the operator. The errors met on every
// system are said in the words the program uses everywhere ("Address
// already in use"), so the lines match; the rest in Windows' own words.

#include <string>

#include "util/result.h"

namespace tessevar::windows {

// The text for a Win32 or Winsock error code.
std::string errorText(unsigned long error);

// "WHAT (reason)" for GetLastError(), or for `error`.
Failure windowsFailure(std::string what);
Failure windowsFailure(std::string what, unsigned long error);

// "WHAT (reason)" for WSAGetLastError().
Failure socketFailure(std::string what);

}  // namespace tessevar::windows
