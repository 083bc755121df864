#pragma once

#include <cstdint>
#include <functional>
#include <span>

#include "editor/editor_actions.h"
#include "surface/mapping_state.h"
#include "surface/surface_model.h"

namespace tessevar {

// Sends one whole datagram to the X-Touch, from the relay's thread.
using SendToXTouch = std::function<void(std::span<const std::uint8_t>)>;

// What the inspectors and handlers work on.
struct SurfaceContext {
  MappingState& mapping;
  EditorActions& editor;
  SendToXTouch sendToXTouch;
  const SurfaceModel& model = xTouch;
};

}  // namespace tessevar
