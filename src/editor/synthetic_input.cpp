#include <thread>

#include "editor/editor.h"
#include "editor/editor_points.h"

namespace tessevar {

void sleepPause(std::chrono::microseconds duration) { std::this_thread::sleep_for(duration); }

void Editor::clickAt(double x, double y) {
  // Looked up at every click so the click follows a moved or resized window.
  if (!findEditorWindow()) {
    return;
  }
  const Rect& bounds = state.editorWindowBounds;
  state.windowScaleX = bounds.width / referenceWindowSize.width;
  state.windowScaleY = bounds.height / referenceWindowSize.height;
  const Point at{bounds.x + x * state.windowScaleX, bounds.y + y * state.windowScaleY};
  desktop_.postLeftButton(at, true);
  if (pause_) {
    pause_(clickHold);
  }
  desktop_.postLeftButton(at, false);
}

void Editor::clickEntry(std::size_t index) {
  if (index >= state.editorPoints.size()) {
    return;
  }
  const Point reference = state.editorPoints[index];
  clickAt(reference.x, reference.y);
}

void Editor::pressKey(std::uint16_t keyCode) {
  if (state.editorPid < 1) {
    return;
  }
  desktop_.postKey(state.editorPid, keyCode, true);
  desktop_.postKey(state.editorPid, keyCode, false);
}

}  // namespace tessevar
