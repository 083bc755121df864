#include "surface/button_mapping.h"

#include <algorithm>
#include <cstddef>

#include "surface/lamp_sender.h"
#include "surface/wire_format.h"

namespace tessevar {

namespace {

constexpr int pageSeven = 7;

std::uint8_t lampValue(bool on) { return on ? wire::lit : wire::dark; }

void click(SurfaceContext& c, std::size_t entry) { c.editor.clickEntry(entry); }
void clickSelectedStrip(SurfaceContext& c) { click(c, c.mapping.selectedIndex); }

std::size_t pageSevenEntry(PageSevenView view) {
  switch (view) {
    case PageSevenView::second: return 39;
    case PageSevenView::third: return 41;
    case PageSevenView::first: break;
  }
  return 37;
}

Key functionKeyFor(std::size_t page) {
  constexpr Key keys[wire::functionPageCount] = {Key::f1, Key::f2, Key::f3, Key::f4};
  return keys[page];
}

bool isStripSoloNote(std::uint8_t note) {
  return note >= wire::firstStripSoloNote && note < wire::firstStripSoloNote + wire::stripCount;
}

bool isFunctionPageNote(std::uint8_t note) {
  return note >= wire::firstFunctionPageNote &&
         note < wire::firstFunctionPageNote + wire::functionPageCount;
}

// Notes 0x36..0x39: pages 2..5, shown in the editor by F1..F4.
void functionPageOn(SurfaceContext& c, std::size_t page) {
  c.mapping.mixerPage = static_cast<int>(page) + 2;
  click(c, 42);
  c.editor.pressKey(functionKeyFor(page));
}

// The first lamp-off after start is the mixer's initial state, not a page left.
void functionPageOff(SurfaceContext& c, std::size_t page) {
  bool& pending = c.mapping.firstOffPending[page];
  if (!pending) {
    c.editor.pressKey(functionKeyFor(page));
    c.editor.pressKey(Key::escape);
  }
  pending = false;
}

void pageSixOn(SurfaceContext& c) {
  c.mapping.mixerPage = 6;
  click(c, 40);
  clickSelectedStrip(c);
}

void lampOn(SurfaceContext& c, std::uint8_t note) {
  MappingState& m = c.mapping;
  switch (note) {
    case 0x28: click(c, 36); clickSelectedStrip(c); return;
    case 0x29: pageSixOn(c); return;
    case 0x2A: click(c, 41); clickSelectedStrip(c); return;
    case 0x2B: pageSixOn(c); return;
    case 0x2C:
      m.mixerPage = 1;
      click(c, 38);
      clickSelectedStrip(c);
      click(c, m.selectedIndex < 22 ? 32 : 33);
      return;
    case 0x2D:
      m.mixerPage = pageSeven;
      click(c, pageSevenEntry(m.pageSevenView));
      return;
    case 0x33:
      m.mixerPage = 0;
      click(c, 34);
      click(c, 32);
      click(c, 33);
      clickSelectedStrip(c);
      return;
    case 0x46: click(c, 28); return;
    case 0x47: click(c, 29); return;
    case 0x48: click(c, 30); return;
    case 0x49: click(c, 31); return;
    case 0x4A: click(c, 22); return;
    case 0x4B: click(c, 23); return;
    case 0x4C: click(c, 24); return;
    case 0x4D: click(c, 25); return;
    case 0x4E: click(c, 26); return;
    case 0x4F: click(c, 27); return;
    default: return;
  }
}

}  // namespace

void refreshAnySoloLamp(SurfaceContext& context) {
  const MappingState& m = context.mapping;
  const auto litStrips = std::count_if(m.stripSoloLamps.begin(), m.stripSoloLamps.end(),
                                       [](int velocity) { return velocity > 0; });
  sendToSurface(context, wire::anySoloNote, lampValue(m.soloToggle + litStrips >= 1));
}

void handleSurfacePress(SurfaceContext& context, std::uint8_t note) {
  MappingState& m = context.mapping;
  if (note == wire::soloToggleNote) {
    click(context, 50);
    m.soloToggle = 1 - m.soloToggle;
    sendToSurface(context, wire::soloToggleNote, lampValue(m.soloToggle == 1));
    refreshAnySoloLamp(context);
  } else if (note == wire::anySoloNote) {
    click(context, 49);
    sendToSurface(context, wire::anySoloNote, wire::dark);
    sendToSurface(context, wire::soloToggleNote, wire::dark);
    m.soloToggle = 0;
  }
}

void handleMixerNote(SurfaceContext& context, std::uint8_t note, std::uint8_t velocity) {
  if (isStripSoloNote(note)) {
    context.mapping.stripSoloLamps[note - wire::firstStripSoloNote] = velocity;
    refreshAnySoloLamp(context);
    return;
  }
  if (isFunctionPageNote(note)) {
    const std::size_t page = note - wire::firstFunctionPageNote;
    if (velocity != 0) {
      functionPageOn(context, page);
    } else {
      functionPageOff(context, page);
    }
    return;
  }
  if (velocity != 0) {
    lampOn(context, note);
  }
}

void handleMixerSysEx(SurfaceContext& context, std::span<const std::uint8_t> datagram) {
  MappingState& m = context.mapping;
  if (datagram.size() < wire::sysExViewMinLength || m.mixerPage != pageSeven ||
      datagram[5] != wire::sysExTextLine) {
    return;
  }
  switch (datagram[wire::sysExViewDigitIndex]) {
    case '1': m.pageSevenView = PageSevenView::first; break;
    case '2': m.pageSevenView = PageSevenView::second; break;
    case '3': m.pageSevenView = PageSevenView::third; break;
    default: return;
  }
  click(context, pageSevenEntry(m.pageSevenView));
}

}  // namespace tessevar
