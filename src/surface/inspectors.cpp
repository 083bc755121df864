#include "surface/inspectors.h"

#include <algorithm>
#include <cstddef>

#include "surface/button_mapping.h"
#include "surface/channel_tracking.h"
#include "surface/wire_format.h"

namespace tessevar {

namespace {

bool isDeviceQuery(std::span<const std::uint8_t> datagram) {
  return std::ranges::equal(datagram, wire::deviceQuery);
}

bool isViewText(std::span<const std::uint8_t> datagram) {
  return datagram.size() > wire::sysExCommandIndex &&
         datagram[wire::sysExMakerIndex] == wire::sysExMakerByte &&
         datagram[wire::sysExCommandIndex] == wire::sysExTextCommand;
}

// Every byte after the status byte is data; a last byte without a partner is dropped.
template <typename PairHandler>
void forEachPair(std::span<const std::uint8_t> datagram, PairHandler handle) {
  for (std::size_t i = 1; i + 1 < datagram.size(); i += 2) {
    handle(datagram[i], datagram[i + 1]);
  }
}

}  // namespace

// Only the first message of a datagram counts.
void handleSurfaceDatagram(SurfaceContext& context, std::span<const std::uint8_t> datagram) {
  if (datagram.size() < 3 || datagram[0] != wire::noteOn || datagram[2] != wire::pressed) {
    return;
  }
  handleSurfacePress(context, datagram[1]);
}

void handleMixerDatagram(SurfaceContext& context, std::span<const std::uint8_t> datagram) {
  if (datagram.empty() || datagram[0] == wire::channelPressure || isDeviceQuery(datagram)) {
    return;
  }
  if (!context.editor.refreshEditorWindow()) {
    return;
  }
  if (datagram.size() < 3) {
    return;
  }
  switch (datagram[0]) {
    case wire::controlChange:
      forEachPair(datagram, [&](std::uint8_t controller, std::uint8_t value) {
        updateDisplayDigit(context, controller, value);
      });
      break;
    case wire::noteOn:
      forEachPair(datagram, [&](std::uint8_t note, std::uint8_t velocity) {
        handleMixerNote(context, note, velocity);
      });
      break;
    case wire::systemExclusive:
      if (isViewText(datagram)) {
        handleMixerSysEx(context, datagram);
      }
      break;
    default:
      break;
  }
}

}  // namespace tessevar
