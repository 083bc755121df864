#pragma once

#include <cstddef>
#include <cstdint>

#include "surface/surface_context.h"

namespace tessevar {

// Value 0..15 of a seven-segment pattern; anything unknown (0, blank) is 0.
int decodeSegmentDigit(std::uint8_t pattern, const SurfaceModel& model = xTouch);

// editorPoints entry of the strip the two display digits name; the window's
// corner (0) when they name none.
std::size_t pointIndexForDisplay(int first, int second, const SurfaceModel& model = xTouch);

// One (controller, pattern) pair of a display run: digit, selectedIndex,
// then the click on the selected strip (and on stripRowEnd past the strip row).
void updateDisplayDigit(SurfaceContext& context, std::uint8_t controller, std::uint8_t value);

}  // namespace tessevar
