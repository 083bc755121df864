#include <cmath>
#include <optional>
#include <utility>

#include "editor/editor.h"
#include "editor/editor_points.h"

namespace tessevar {

namespace {

// A rectangle that cannot place a click is not a window we can use.
bool isUsable(const Rect& r) {
  return std::isfinite(r.x) && std::isfinite(r.y) && std::isfinite(r.width) &&
         std::isfinite(r.height);
}

// The editor may own several windows; its main one is the oldest, which the
// window server numbers lowest. A hidden one only serves when none is shown.
bool beats(const WindowInfo& candidate, const WindowInfo& chosen) {
  if (candidate.onScreen != chosen.onScreen) return candidate.onScreen;
  return candidate.number < chosen.number;
}

}  // namespace

bool isEditorOwner(const std::string& ownerName) {
  return ownerName == "X-AIR-Edit" || ownerName == "M-AIR-Edit";
}

Editor::Editor(Desktop& desktop, Pause pause, EditorProcessLookup processLookup)
    : desktop_(desktop), pause_(std::move(pause)), processLookup_(std::move(processLookup)) {}

bool Editor::findEditorWindow() {
  std::optional<WindowInfo> chosen;
  for (const WindowInfo& window : desktop_.listWindows(isEditorOwner)) {
    if (!isEditorOwner(window.ownerName) || !isUsable(window.bounds)) {
      continue;
    }
    state.editorName = window.ownerName;
    if (!chosen || beats(window, *chosen)) {
      chosen = window;
    }
  }
  state.editorWindowFound = chosen.has_value();
  if (!chosen) {
    return false;
  }
  state.editorWindowBounds = chosen->bounds;
  state.editorWindowNumber = chosen->number;
  state.editorWindowPid = chosen->ownerPid;
  return true;
}

bool Editor::refreshEditorWindow() {
  const bool found = findEditorWindow();
  if (found) {
    activateEditor();
  }
  return found;
}

void Editor::activateEditor() {
  if (desktop_.activate(state.editorName, state.editorWindowNumber) || refusalReported_) return;
  refusalReported_ = true;
  if (progress.enabled()) {
    progress.note("the desktop did not bring the editor to the front; clicks still go only where its window is "
                  "on top, keys still reach it");
  }
}

}  // namespace tessevar
