#include "surface/button_mapping.h"

#include <algorithm>
#include <cstddef>

#include "surface/wire_format.h"

namespace tessevar {

namespace {

std::uint8_t lampValue(bool on) { return on ? wire::lit : wire::dark; }

// One lamp message 90 note value to the X-Touch; a missing sender sends nothing.
void sendToSurface(const SurfaceContext& context, std::uint8_t note, std::uint8_t value) {
  if (!context.sendToXTouch) return;
  const auto message = wire::lampMessage(note, value);
  context.sendToXTouch(message);
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

}  // namespace

void refreshAnySoloLamp(SurfaceContext& context) {
  const MappingState& m = context.mapping;
  const auto litStrips = std::ranges::count_if(m.stripSoloLamps, [](int velocity) { return velocity > 0; });
  sendToSurface(context, context.model.anySoloNote, lampValue(m.soloToggle + litStrips >= 1));
}

void handleSurfacePress(SurfaceContext& context, std::uint8_t note) {
  if (const ButtonRule* rule = ruleFor(context.model.buttons, note)) {
    run(context, rule->press);
  }
}

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

}  // namespace tessevar
