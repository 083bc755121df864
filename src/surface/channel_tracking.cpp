#include "surface/channel_tracking.h"

#include <algorithm>

namespace tessevar {

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

}  // namespace tessevar
