#pragma once

#include <cstdint>
#include <functional>
#include <span>

#include "editor/editor.h"
#include "surface/mapping_state.h"

namespace tessevar {

// Sends one whole datagram to the X-Touch; the relay implements it under
// receiveLock, so it must not be called with that lock held.
using SendToXTouch = std::function<void(std::span<const std::uint8_t>)>;

// What the inspectors and handlers work on.
struct SurfaceContext {
  MappingState& mapping;
  Editor& editor;
  SendToXTouch sendToXTouch;
};

}  // namespace tessevar
