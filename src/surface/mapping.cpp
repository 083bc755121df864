#include "surface/mapping.h"

#include <algorithm>
#include <cstddef>

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

std::uint8_t lampValue(bool on) { return on ? wire::lit : wire::dark; }

// One lamp message 90 note value to the X-Touch; a missing sender sends nothing.
void sendToSurface(const SurfaceContext& context, std::uint8_t note, std::uint8_t value) {
  if (!context.sendToXTouch) return;
  const auto message = wire::lampMessage(note, value);
  context.sendToXTouch(message);
}

// The any-solo lamp: lit while any strip solo lamp or our solo toggle is on.
// Sent every time, changed or not.
void refreshAnySoloLamp(SurfaceContext& context) {
  const MappingState& m = context.mapping;
  const auto litStrips = std::ranges::count_if(m.stripSoloLamps, [](int velocity) { return velocity > 0; });
  sendToSurface(context, context.model.anySoloNote, lampValue(m.soloToggle + litStrips >= 1));
}

void click(SurfaceContext& c, EditorPoint point) { c.editor.clickEntry(indexOf(point)); }

void toggleSolo(SurfaceContext& c) {
  MappingState& m = c.mapping;
  m.soloToggle = 1 - m.soloToggle;
  sendToSurface(c, c.model.soloToggleNote, lampValue(m.soloToggle == 1));
  refreshAnySoloLamp(c);
}

void clearSolo(SurfaceContext& c) {
  sendToSurface(c, c.model.anySoloNote, wire::dark);
  sendToSurface(c, c.model.soloToggleNote, wire::dark);
  c.mapping.soloToggle = 0;
}

void perform(SurfaceContext& c, const Step& s) {
  MappingState& m = c.mapping;
  switch (s.what) {
    case Step::Do::nothing: return;
    case Step::Do::click: click(c, s.point); return;
    case Step::Do::clickSelectedStrip: c.editor.clickEntry(m.selectedIndex); return;
    case Step::Do::clickSelectionSide:
      click(c, onStripRow(m.selectedIndex) ? EditorPoint::rightBlock : EditorPoint::stripRowEnd);
      return;
    case Step::Do::clickPageSevenView:
      click(c, c.model.views[static_cast<std::size_t>(m.pageSevenView)].point);
      return;
    case Step::Do::press: c.editor.pressKey(s.key); return;
    case Step::Do::setPage: m.mixerPage = s.page; return;
    case Step::Do::toggleSolo: toggleSolo(c); return;
    case Step::Do::clearSolo: clearSolo(c); return;
  }
}

void run(SurfaceContext& c, const Steps& steps) {
  for (const Step& s : steps) {
    if (s.what == Step::Do::nothing) return;
    perform(c, s);
  }
}

template <typename Rule>
const Rule* ruleFor(std::span<const Rule> rules, std::uint8_t note) {
  const auto found = std::ranges::find(rules, note, &Rule::note);
  return found == rules.end() ? nullptr : &*found;
}

// A press (velocity 0x7F) of a surface button; those without a rule do nothing.
void handleSurfacePress(SurfaceContext& context, std::uint8_t note) {
  if (const ButtonRule* rule = ruleFor(context.model.buttons, note)) {
    run(context, rule->press);
  }
}

// One (note, velocity) pair of a mixer lamp run; velocity 0 is lamp-off.
void handleMixerNote(SurfaceContext& context, std::uint8_t note, std::uint8_t velocity) {
  const NoteRange strips = context.model.stripSoloNotes;
  auto& stripLamps = context.mapping.stripSoloLamps;
  if (strips.contains(note) && note - strips.first < std::ssize(stripLamps)) {
    stripLamps[note - strips.first] = velocity;
    refreshAnySoloLamp(context);
    return;
  }
  const LampRule* rule = ruleFor(context.model.lamps, note);
  if (!rule) return;
  if (velocity != 0) {
    run(context, rule->on);
    return;
  }
  const bool initialState = context.mapping.firstOffPending[note];
  context.mapping.firstOffPending[note] = false;
  if (!initialState) run(context, rule->off);
}

// The mixer's view text (F0 .. 66 58 ..): picks a view of the view-text page.
void handleMixerSysEx(SurfaceContext& context, std::span<const std::uint8_t> datagram) {
  MappingState& m = context.mapping;
  if (datagram.size() < wire::sysExViewMinLength || m.mixerPage != context.model.viewTextPage ||
      datagram[wire::sysExLineIndex] != wire::sysExTextLine) {
    return;
  }
  const auto& views = context.model.views;
  const auto view = std::ranges::find(views, datagram[wire::sysExViewDigitIndex], &ViewRow::character);
  if (view == views.end()) return;
  m.pageSevenView = static_cast<PageSevenView>(view - views.begin());
  click(context, view->point);
}

// One (controller, pattern) pair of a display run: digit, selectedIndex,
// then the click on the selected strip (and on stripRowEnd past the strip row).
void updateDisplayDigit(SurfaceContext& context, std::uint8_t controller, std::uint8_t value) {
  MappingState& m = context.mapping;
  const SurfaceModel& model = context.model;
  if (std::ranges::find(model.firstDigitControllers, controller) != model.firstDigitControllers.end()) {
    m.displayFirstDigit = decodeSegmentDigit(value, model);
  } else if (std::ranges::find(model.secondDigitControllers, controller) != model.secondDigitControllers.end()) {
    m.displaySecondDigit = decodeSegmentDigit(value, model);
  } else {
    return;
  }
  m.selectedIndex = pointIndexForDisplay(m.displayFirstDigit, m.displaySecondDigit, model);
  context.editor.clickEntry(m.selectedIndex);
  if (!onStripRow(m.selectedIndex)) {
    context.editor.clickEntry(indexOf(EditorPoint::stripRowEnd));
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

int decodeSegmentDigit(std::uint8_t pattern, const SurfaceModel& model) {
  const auto glyph = std::ranges::find(model.glyphs, pattern, &Glyph::pattern);
  return glyph == model.glyphs.end() ? 0 : glyph->value;
}

std::size_t pointIndexForDisplay(int first, int second, const SurfaceModel& model) {
  const auto row = std::ranges::find(model.display, first, &DisplayRow::firstDigit);
  if (row == model.display.end()) return indexOf(EditorPoint::windowCorner);
  const std::size_t firstStrip = indexOf(row->firstStrip);
  if (row->alone) return firstStrip;
  if (second < 0 || second > 15) second = 0;  // only decoded digits reach here
  // One past the entry, as second digit 1 names firstStrip itself.
  const std::size_t onePast = firstStrip + static_cast<std::size_t>(second);
  return onePast >= 1 && onePast <= editorPointCount ? onePast - 1 : indexOf(EditorPoint::windowCorner);
}

}  // namespace tessevar
