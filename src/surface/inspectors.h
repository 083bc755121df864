#pragma once

#include <cstdint>
#include <span>

#include "surface/surface_context.h"

namespace tessevar {

// A datagram from the X-Touch, before it goes on to the mixer. Reads only;
// the datagram is relayed unchanged whatever happens here.
void handleSurfaceDatagram(SurfaceContext& context, std::span<const std::uint8_t> datagram);

// A datagram from the mixer, before it goes on to the X-Touch: brings the
// editor forward and mirrors display, lamp and view-text messages in it.
void handleMixerDatagram(SurfaceContext& context, std::span<const std::uint8_t> datagram);

}  // namespace tessevar
