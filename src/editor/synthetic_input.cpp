#include <cmath>
#include <string>
#include <thread>

#include "editor/editor.h"
#include "editor/editor_points.h"

namespace tessevar {

namespace {

// A restarted editor is looked for at most this often.
constexpr std::chrono::seconds pidSearchInterval{1};

// For the progress lines.
std::string keyName(Key key) {
  switch (key) {
    case Key::f1: return "F1";
    case Key::f2: return "F2";
    case Key::f3: return "F3";
    case Key::f4: return "F4";
    case Key::escape: return "Escape";
  }
  return "?";
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
  const double scaleX = bounds.width / referenceWindowSize.width;
  const double scaleY = bounds.height / referenceWindowSize.height;
  const Point at{bounds.x + x * scaleX, bounds.y + y * scaleY};
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

void Editor::pressKey(Key key) {
  const std::int64_t pid = keyPid();
  if (pid < 1) {
    if (progress.enabled()) progress.note("key " + keyName(key) + " skipped: no editor process");
    return;
  }
  const KeyTarget target{pid, state.editorWindowFound ? state.editorWindowNumber : 0};
  desktop_.postKey(target, key, true);
  desktop_.postKey(target, key, false);
  if (progress.enabled()) progress.note("key " + keyName(key) + " to process " + std::to_string(pid));
}

// The desktop's own word on the window's process needs no process listing.
std::int64_t Editor::keyPid() {
  if (state.editorWindowFound && state.editorWindowPid > 0) return state.editorWindowPid;
  refreshEditorPid();
  return state.editorPid;
}

void Editor::setEditorPid(std::int64_t pid) {
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
