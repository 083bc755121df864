#pragma once

#include <cstddef>
#include <cstdint>

#include "surface/surface_context.h"

namespace tessevar {

// Value 0..15 of a seven-segment pattern; anything unknown (0, blank) is 0.
int decodeSegmentDigit(std::uint8_t pattern);

// editorPoints entry named by the two display digits; never above 42.
std::size_t pointIndexForDisplay(int first, int second);

// One (controller, pattern) pair of a display run: digit, selectedIndex,
// then the click on the selected strip (and entry 33 beyond the strip row).
void updateDisplayDigit(SurfaceContext& context, std::uint8_t controller, std::uint8_t value);

}  // namespace tessevar
