#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>

#include "editor/editor_state.h"
#include "platform/desktop.h"

namespace tessevar {

// Blocks the caller; injected so tests can see the hold without sleeping.
using Pause = std::function<void(std::chrono::microseconds)>;

// How long the left button stays down in one click.
inline constexpr std::chrono::microseconds clickHold{10'000};

void sleepPause(std::chrono::microseconds duration);

// Drives the editor application through the desktop: window lookup and
// activation, clicks at scaled reference points, keys to its process.
class Editor {
 public:
  explicit Editor(Desktop& desktop, Pause pause = sleepPause);

  EditorState state;

  // Walks the whole window list; on a match updates editorName and, once the
  // walk is over, editorWindowBounds. Does not activate.
  bool findEditorWindow();
  // findEditorWindow, then activateEditor when found.
  bool refreshEditorWindow();
  void activateEditor();

  // A left click at reference point (x, y) of a fresh lookup of the window;
  // nothing when the window is not found.
  void clickAt(double x, double y);
  // clickAt with entry `index` of editorPoints; nothing for an unknown entry.
  void clickEntry(std::size_t index);
  // Key down then key up to editorPid; nothing while editorPid is below 1.
  void pressKey(std::uint16_t keyCode);

 private:
  Desktop& desktop_;
  Pause pause_;
};

// Loading: fills editorPoints, then looks the window up and activates the
// editor. Returns whether the window was found.
bool loadEditor(Editor& editor);

}  // namespace tessevar
