#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>

#include "platform/desktop.h"

namespace tessevar {

// One thing asked of the editor, carried out later by the automation thread.
struct EditorCommand {
  enum class Kind { activate, click, key, setEditorPid };
  Kind kind = Kind::activate;
  std::size_t entry = 0;  // click: entry of the point table
  Key key = Key::f1;      // key
  std::int64_t pid = 0;       // setEditorPid
  bool operator==(const EditorCommand&) const = default;
};

// The ordered queue from the relay's thread to the automation thread.
//
// Bounded in length and in age, so that a flood from the mixer can never
// hold relaying up or use memory without end, and the editor still ends up
// showing the latest state: a full queue makes room by dropping its oldest
// command, and a command older than maxAge when its turn comes is dropped.
// The length bound stays below maxAge worth of clicks, so at the desktop's
// normal pace only a stalled desktop makes commands age out.
//
// An activation right after another, with no click or key between, changes
// nothing: it is merged into the one before, whether that is still queued or
// was carried out less than activationMerge ago (unless the desktop has
// changed since).
class AutomationQueue {
 public:
  using Clock = std::chrono::steady_clock;
  struct Limits {
    std::size_t capacity = 128;  // about 1.3 s of clicks
    Clock::duration maxAge = std::chrono::seconds(2);
    Clock::duration activationMerge = std::chrono::milliseconds(20);
    // A fall-behind that has not caught up by then is reported all the same.
    Clock::duration reportAfter = std::chrono::seconds(10);
  };

  AutomationQueue() : AutomationQueue(Limits{}) {}
  explicit AutomationQueue(Limits limits) : limits_(limits) {}

  // Any thread. True when the automation thread sleeps and must be woken.
  bool push(const EditorCommand& command, Clock::time_point now);

  // The automation thread: the next command to carry out, if any.
  std::optional<EditorCommand> take(Clock::time_point now);
  // The automation thread, when take() gave nothing and it is about to
  // sleep; false when a command came in meanwhile.
  bool prepareToWait();
  // The desktop changed: the next activation is carried out, even if soon.
  void desktopChanged();
  // How many commands were dropped, once per fall-behind: when the queue has
  // caught up (is empty) after dropping, or once the fall-behind has lasted
  // reportAfter.
  std::optional<std::size_t> dropReport(Clock::time_point now);

 private:
  struct Queued {
    EditorCommand command;
    Clock::time_point at;
  };

  void drop(std::size_t count, Clock::time_point now);
  bool mergesIntoLastActivation(const EditorCommand& command, Clock::time_point now) const;

  const Limits limits_;
  std::mutex mutex_;
  std::deque<Queued> queued_;
  bool consumerWaiting_ = false;
  std::optional<Clock::time_point> lastActivation_;  // carried out, nothing after it yet
  std::size_t dropped_ = 0;
  Clock::time_point firstDrop_{};
};

}  // namespace tessevar
