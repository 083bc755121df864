#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/desktop.h"
#include "util/progress_log.h"
#include "util/result.h"

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
  std::int64_t editorPid = 0;  // 0 or less: no editor process known, keys are skipped
};

// Blocks the caller; injected so tests can see the hold without sleeping.
using Pause = std::function<void(std::chrono::microseconds)>;

// How long the left button stays down in one click.
inline constexpr std::chrono::microseconds clickHold{10'000};

void sleepPause(std::chrono::microseconds duration);

// How the editor's process is found again when the one known has gone.
struct EditorProcessLookup {
  using Clock = std::chrono::steady_clock;
  std::function<Result<std::int64_t>()> find;  // 0: none runs; a failure: cannot tell
  std::function<bool(std::int64_t pid)> running;
  std::function<Clock::time_point()> now;
};

// The system's process listing and process table.
EditorProcessLookup systemEditorProcessLookup();

// The editor's process id from the system's process listing: 0 when no line
// names the editor; fails when the listing could not be had.
Result<std::int64_t> findEditorProcess();

// The pid of the last listing line that names the editor (0 when none, or
// when that line's first field is not a number).
std::int64_t editorPidFromListing(std::string_view listing);


// The owner names that identify the editor.
bool isEditorOwner(const std::string& ownerName);

// Drives the editor application through the desktop: window lookup and
// activation, clicks at scaled reference points, keys to its process.
class Editor {
 public:
  explicit Editor(Desktop& desktop, Pause pause = sleepPause,
                  EditorProcessLookup processLookup = systemEditorProcessLookup());

  EditorState state;
  ProgressLog progress;  // every click and key, for --verbose

  // Looks at every editor window; on a match updates editorName and, once
  // the walk is over, editorWindowBounds. Does not activate.
  bool findEditorWindow();
  // findEditorWindow, then activateEditor when found.
  bool refreshEditorWindow();
  void activateEditor();

  enum class Click { posted, noWindow, notOnEditor };
  // A left click at reference point (x, y) of a fresh lookup of the window;
  // nothing when the window is not found, or when the point is off every
  // screen or covered there by another application's window.
  Click clickAt(double x, double y);
  // clickAt with entry `index` of editorPoints; nothing for an unknown entry.
  void clickEntry(std::size_t index);
  // Key down then key up to the editor: its window's process where the
  // desktop names it, else editorPid (a process that has gone is looked for
  // again first); nothing while no editor process is known.
  void pressKey(Key key);
  // The process id found at start-up; it counts as a search just made.
  void setEditorPid(std::int64_t pid);

 private:
  bool reachesEditor(Point at);
  Point lastClick_;
  void refreshEditorPid();
  std::int64_t keyPid();

  Desktop& desktop_;
  Pause pause_;
  EditorProcessLookup processLookup_;
  std::optional<EditorProcessLookup::Clock::time_point> lastPidSearch_;
  bool refusalReported_ = false;  // the desktop's refusal to activate is said once
};

}  // namespace tessevar
