#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/desktop.h"

namespace tessevar {

// The editor window size for which the click points below hold.
struct ReferenceSize {
  double width;
  double height;
};
inline constexpr ReferenceSize referenceWindowSize{1154.0, 734.0};

// The editor's click points, named for where they lie in the reference
// layout. The value is the entry's index in editorPoints.
enum class EditorPoint : std::uint8_t {
  windowCorner,  // (0, 0): the window's top-left corner itself
  // The strip row, left to right.
  strip1, strip2, strip3, strip4, strip5, strip6, strip7, strip8, strip9, strip10, strip11,
  strip12, strip13, strip14, strip15, strip16, strip17, strip18, strip19, strip20, strip21,
  // Right block: a grid of two columns by three rows, in reading order,
  grid1, grid2, grid3, grid4, grid5, grid6,
  // the single column below it,
  column1, column2, column3, column4,
  // and the point above the grid.
  rightBlock,
  stripRowEnd,  // on the strip row, right of strip21
  // The top row, left to right.
  topRow1, topRow2, topRow3, topRow4, topRow5, topRow6, topRow7, topRow8, topRow9, topRow10,
  // The lower right column, top to bottom.
  lowerRight1, lowerRight2, lowerRight3, lowerRight4,
  bottomLeft,
  // Right block, the row above rightBlock.
  rightRowLeft, rightRowRight,
  // Never written: they stay (0, 0).
  spare1, spare2, spare3, spare4, spare5, spare6, spare7, spare8, spare9, spare10,
};

inline constexpr std::size_t editorPointCount = 61;
static_assert(static_cast<std::size_t>(EditorPoint::spare10) + 1 == editorPointCount);

constexpr std::size_t indexOf(EditorPoint point) { return static_cast<std::size_t>(point); }

// The corner and the 21 strip positions: entries a strip selection may land on.
constexpr bool onStripRow(std::size_t index) { return index <= indexOf(EditorPoint::strip21); }

// Makes editorPoints exactly the 61 reference click points (window-relative,
// reference units), whatever it held before.
void fillEditorPoints(std::vector<Point>& editorPoints);

}  // namespace tessevar
