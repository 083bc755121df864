#pragma once

#include <cstdint>

#include "surface/surface_context.h"

namespace tessevar {

// One lamp message 90 note value to the X-Touch; a missing sender sends nothing.
void sendToSurface(const SurfaceContext& context, std::uint8_t note, std::uint8_t value);

}  // namespace tessevar
