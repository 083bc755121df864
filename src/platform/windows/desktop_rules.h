#pragma once

// How the Windows backend names owners and places input. Plain C++, so it
// is tested on every platform.

#include <optional>
#include <string>
#include <string_view>

#include "platform/desktop.h"

namespace tessevar::windows {

// The owner name of a process from its image path (QueryFullProcessImageNameW):
// the file name without ".exe" in any case.
std::string ownerNameFromImagePath(std::string_view path);

// A point in whole physical pixels; nullopt when it is not a number or lies
// beyond any screen Windows can have.
struct Pixel {
  long x = 0;
  long y = 0;
};
std::optional<Pixel> wholePixel(Point at);

// The virtual desktop, all monitors together, in physical pixels.
struct VirtualScreen {
  long left = 0;
  long top = 0;
  long width = 0;
  long height = 0;
};

// Absolute mouse input gives positions in 0..65535 across the virtual
// desktop, and Windows takes the pixel as position * extent / 65536, rounded
// down. The smallest position that lands on `pixel` (clamped to the screen).
long normalisedPosition(long pixel, long origin, long extent);

}  // namespace tessevar::windows
