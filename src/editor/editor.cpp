#include "editor/editor.h"

#include <cmath>
#include <optional>
#include <string>
#include <thread>
#include <utility>

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
