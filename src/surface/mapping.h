#pragma once

// The surface layer: the inspection of each datagram, and the mapping of
// what the mixer tells the surface (and two surface buttons) to editor
// actions and lamps. It runs on the relay's thread only, holds no socket and
// never waits: the editor's work goes to EditorActions, lamps to the sender.

#include <array>
#include <bitset>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>

#include "editor/editor_actions.h"
#include "surface/surface_model.h"

namespace tessevar {

enum class PageSevenView { first, second, third };

// Mapping state of the surface layer; the relay loop's thread only.
struct MappingState {
  std::array<int, 8> stripSoloLamps{};  // last velocity of each strip's solo lamp note
  int soloToggle = 0;                   // our solo toggle button, 0 or 1
  int mixerPage = -1;                   // only the view-text page changes behaviour
  PageSevenView pageSevenView = PageSevenView::first;
  std::bitset<256> firstOffPending = std::bitset<256>().set();  // by note: no lamp-off seen yet
  int displayFirstDigit = 0;   // 0..15
  int displaySecondDigit = 0;  // 0..15
  std::size_t selectedIndex = 0;  // editorPoints entry of the strip the display names
};

// Sends one whole datagram to the X-Touch, from the relay's thread.
using SendToXTouch = std::function<void(std::span<const std::uint8_t>)>;

// What the inspectors and handlers work on.
struct SurfaceContext {
  MappingState& mapping;
  EditorActions& editor;
  SendToXTouch sendToXTouch;
  const SurfaceModel& model = xTouch;
};

// ---- inspection: each datagram, before it is forwarded ----

// A datagram from the X-Touch, before it goes on to the mixer. Reads only;
// the datagram is relayed unchanged whatever happens here.
void handleSurfaceDatagram(SurfaceContext& context, std::span<const std::uint8_t> datagram);

// A datagram from the mixer, before it goes on to the X-Touch: brings the
// editor forward and mirrors display, lamp and view-text messages in it.
void handleMixerDatagram(SurfaceContext& context, std::span<const std::uint8_t> datagram);

// ---- the selected channel, from the display digits ----

// Value 0..15 of a seven-segment pattern; anything unknown (0, blank) is 0.
int decodeSegmentDigit(std::uint8_t pattern, const SurfaceModel& model = xTouch);

// editorPoints entry of the strip the two display digits name; the window's
// corner (0) when they name none.
std::size_t pointIndexForDisplay(int first, int second, const SurfaceModel& model = xTouch);

}  // namespace tessevar
