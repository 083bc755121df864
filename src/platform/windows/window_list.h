#pragma once

// The windows a user switches between, read off the window manager of
// Windows (user32 and DWM).

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/desktop.h"

namespace tessevar::windows {

// A window number is the window's handle; handles fit in 32 bits.
std::int64_t numberOf(HWND window);
HWND windowOf(std::int64_t number);

// The owner name of the process `pid` (its image file name without ".exe");
// nullopt when the process cannot be asked (gone, or protected).
std::optional<std::string> processOwnerName(DWORD pid);

// The process that owns `window`; 0 when it is gone.
DWORD ownerProcess(HWND window);

// Top-level windows a user can switch to (shown, not owned by another
// window, no tool window, not hidden by DWM), whose owner `wanted` accepts
// (an empty filter accepts all), in the system's top-to-bottom order. A
// minimised window is listed as not on screen. Hidden helper windows (IME,
// message windows) are never listed: they cannot be activated or clicked.
std::vector<WindowInfo> listAppWindows(const OwnerFilter& wanted);

}  // namespace tessevar::windows
