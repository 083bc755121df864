#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/desktop.h"

namespace tessevar {

// What the program knows about the editor application. Touched only by the
// thread that drives the editor, so no lock.
struct EditorState {
  std::vector<Point> editorPoints;  // reference click points, filled once
  Rect editorWindowBounds;          // last rectangle found; kept when the editor goes away
  std::string editorName;           // owner name of the last matching window
  std::int64_t editorWindowNumber = 0;  // number of the window chosen by the lookup
  std::int64_t editorWindowPid = 0;     // its owner's process, 0 where the desktop does not say
  bool editorWindowFound = false;       // what the last lookup said
  double windowScaleX = 1.0;
  double windowScaleY = 1.0;
  std::int64_t editorPid = 0;  // 0 or less: no editor process known, keys are skipped
};

}  // namespace tessevar
