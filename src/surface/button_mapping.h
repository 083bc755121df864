#pragma once

#include <cstdint>
#include <span>

#include "surface/surface_context.h"

namespace tessevar {

// The any-solo lamp: lit while any strip solo lamp or our solo toggle is on.
// Sent every time, changed or not.
void refreshAnySoloLamp(SurfaceContext& context);

// A press (velocity 0x7F) of a surface button; those without a rule do nothing.
void handleSurfacePress(SurfaceContext& context, std::uint8_t note);

// One (note, velocity) pair of a mixer lamp run; velocity 0 is lamp-off.
void handleMixerNote(SurfaceContext& context, std::uint8_t note, std::uint8_t velocity);

// The mixer's view text (F0 .. 66 58 ..): picks a view of the view-text page.
void handleMixerSysEx(SurfaceContext& context, std::span<const std::uint8_t> datagram);

}  // namespace tessevar
