#include "surface/lamp_sender.h"

#include "surface/wire_format.h"

namespace tessevar {

void sendToSurface(const SurfaceContext& context, std::uint8_t note, std::uint8_t value) {
  if (!context.sendToXTouch) {
    return;
  }
  const auto message = wire::lampMessage(note, value);
  context.sendToXTouch(message);
}

}  // namespace tessevar
