#pragma once

#include <cstddef>
#include <vector>

#include "platform/desktop.h"

namespace tessevar {

// The editor window size for which the click points below hold.
struct ReferenceSize {
  double width;
  double height;
};
inline constexpr ReferenceSize referenceWindowSize{1154.0, 734.0};

// Number of entries after the fill; entry 0 and entries 51..60 stay (0, 0).
inline constexpr std::size_t editorPointCount = 61;

// Appends the 61 reference click points (window-relative, reference units).
void fillEditorPoints(std::vector<Point>& editorPoints);

}  // namespace tessevar
