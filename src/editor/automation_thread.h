#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <future>
#include <memory>
#include <optional>
#include <string>
#include <thread>

#include "editor/automation_queue.h"
#include "editor/editor.h"
#include "editor/editor_actions.h"
#include "platform/desktop.h"
#include "util/line_output.h"
#include "util/wake_up.h"

namespace tessevar {

// Opens the platform's desktop on the calling thread, or says why there is none.
using DesktopFactory = std::function<Result<std::unique_ptr<Desktop>>()>;

// The one thread that talks to the desktop. The relay's thread asks through
// EditorActions and never waits: lookups, activations, clicks (with their
// hold) and keys are queued (AutomationQueue) and carried out here in order.
// Whether an editor window exists is kept current here, from the desktop's
// notifications and from every lookup, for the relay's thread to read.
class AutomationThread final : public EditorActions {
 public:
  struct Options {
    Pause pause = sleepPause;
    EditorProcessLookup processLookup = systemEditorProcessLookup();
    AutomationQueue::Limits limits{};
    std::function<AutomationQueue::Clock::time_point()> now = AutomationQueue::Clock::now;
    ProgressLog progress{};  // window found or lost, every click and key
  };

  // Dropped commands are reported on `output`.
  AutomationThread(DesktopFactory openDesktop, LineOutput& output, Options options);
  AutomationThread(DesktopFactory openDesktop, LineOutput& output)
      : AutomationThread(std::move(openDesktop), output, Options{}) {}
  ~AutomationThread() override;
  AutomationThread(const AutomationThread&) = delete;
  AutomationThread& operator=(const AutomationThread&) = delete;

  // Starts the thread, which opens the desktop, fills the point table and
  // looks the editor up once. Fails with why no desktop could be opened (the
  // thread then goes on with one that does nothing, and tries again).
  Result<void> start();
  // Asks the thread to end once the command under way is done (at most one
  // click hold); returns at once.
  void requestStop();
  // requestStop, then waits for the thread. Gives up after `patience`:
  // false then, the thread is stuck in the desktop, and only the process's
  // end can take it (this object must not be destroyed before).
  bool stop(std::chrono::milliseconds patience);

  bool refreshEditorWindow() override;
  void clickEntry(std::size_t index) override;
  void pressKey(Key key) override;
  // The editor's process as start-up found it (0: none).
  void setEditorPid(std::int64_t pid);

 private:
  void run(std::promise<Result<void>> opened);
  void open(std::promise<Result<void>>& opened);
  void openAgain();
  void useDesktop(std::unique_ptr<Desktop> desktop);
  void carryOut(const EditorCommand& command);
  void followDesktop();
  void editorWindowSeen(bool found);
  void reportDrops();
  void waitForWork();
  void queue(const EditorCommand& command);

  DesktopFactory openDesktop_;
  LineOutput& output_;
  Options options_;
  AutomationQueue queue_;
  WakeUp wakeUp_;
  std::atomic<bool> editorWindowExists_{false};
  std::atomic<bool> stopping_{false};
  std::promise<void> ended_;
  std::shared_future<void> endedSignal_;
  // The automation thread's own, from start() on.
  std::unique_ptr<Desktop> desktop_;
  std::unique_ptr<Editor> editor_;
  // While no desktop could be opened: when to try again.
  std::optional<AutomationQueue::Clock::time_point> nextOpen_;
  std::thread thread_;
};

}  // namespace tessevar
