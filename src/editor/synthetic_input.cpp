#include <cmath>
#include <string>
#include <thread>

#include "editor/editor.h"
#include "editor/editor_points.h"

namespace tessevar {

namespace {

// A restarted editor is looked for at most this often.
constexpr std::chrono::seconds pidSearchInterval{1};

// The name of a key code the mapping uses, for the progress lines.
std::string keyName(std::uint16_t code) {
  switch (code) {
    case 0x7A: return "F1";
    case 0x78: return "F2";
    case 0x63: return "F3";
    case 0x76: return "F4";
    case 0x35: return "Escape";
    default: return "key code " + std::to_string(code);
  }
}

std::string coordinates(Point p) { return std::to_string(std::lround(p.x)) + "," + std::to_string(std::lround(p.y)); }

}  // namespace

void sleepPause(std::chrono::microseconds duration) { std::this_thread::sleep_for(duration); }

Editor::Click Editor::clickAt(double x, double y) {
  // Looked up at every click so the click follows a moved or resized window.
  if (!findEditorWindow()) {
    return Click::noWindow;
  }
  const Rect& bounds = state.editorWindowBounds;
  state.windowScaleX = bounds.width / referenceWindowSize.width;
  state.windowScaleY = bounds.height / referenceWindowSize.height;
  const Point at{bounds.x + x * state.windowScaleX, bounds.y + y * state.windowScaleY};
  lastClick_ = at;
  if (!reachesEditor(at)) {
    return Click::notOnEditor;
  }
  desktop_.postLeftButton(at, true);
  if (pause_) {
    pause_(clickHold);
  }
  desktop_.postLeftButton(at, false);
  return Click::posted;
}

// Off every screen the pointer would stop at the edge, and over another
// application the click would operate that one instead.
bool Editor::reachesEditor(Point at) {
  const std::optional<std::string> owner = desktop_.ownerAt(at);
  return owner && isEditorOwner(*owner);
}

void Editor::clickEntry(std::size_t index) {
  if (index >= state.editorPoints.size()) {
    return;
  }
  const Point reference = state.editorPoints[index];
  const Click click = clickAt(reference.x, reference.y);
  if (!progress.enabled()) return;
  const std::string what = "click on entry " + std::to_string(index);
  switch (click) {
    case Click::posted: progress.note(what + " at " + coordinates(lastClick_)); break;
    case Click::noWindow: progress.note(what + " skipped: no editor window"); break;
    case Click::notOnEditor:
      progress.note(what + " skipped: " + coordinates(lastClick_) + " is off screen or covered by another window");
      break;
  }
}

void Editor::pressKey(std::uint16_t keyCode) {
  refreshEditorPid();
  if (state.editorPid < 1) {
    if (progress.enabled()) progress.note("key " + keyName(keyCode) + " skipped: no editor process");
    return;
  }
  desktop_.postKey(state.editorPid, keyCode, true);
  desktop_.postKey(state.editorPid, keyCode, false);
  if (progress.enabled()) progress.note("key " + keyName(keyCode) + " to process " + std::to_string(state.editorPid));
}

void Editor::useEditorPid(std::int64_t pid) {
  state.editorPid = pid;
  if (processLookup_.now) lastPidSearch_ = processLookup_.now();
}

void Editor::refreshEditorPid() {
  if (!processLookup_.find || !processLookup_.running || !processLookup_.now) return;
  if (state.editorPid >= 1 && processLookup_.running(state.editorPid)) return;
  const auto now = processLookup_.now();
  if (lastPidSearch_ && now - *lastPidSearch_ < pidSearchInterval) return;
  lastPidSearch_ = now;
  state.editorPid = processLookup_.find().value_or(0);
}

}  // namespace tessevar
