#include "editor/automation_queue.h"

#include <utility>

namespace tessevar {

namespace {

bool isActivation(const EditorCommand& command) { return command.kind == EditorCommand::Kind::activate; }

}  // namespace

bool AutomationQueue::push(const EditorCommand& command, Clock::time_point now) {
  std::lock_guard lock(mutex_);
  // Merged here rather than when taken, so a stream of them does not wake
  // the automation thread for each.
  if (isActivation(command) && (queued_.empty() ? mergesIntoLastActivation(command, now)
                                                : isActivation(queued_.back().command))) {
    return false;
  }
  if (queued_.size() >= limits_.capacity) {
    queued_.pop_front();
    drop(1, now);
  }
  queued_.push_back({command, now});
  return std::exchange(consumerWaiting_, false);
}

std::optional<EditorCommand> AutomationQueue::take(Clock::time_point now) {
  std::lock_guard lock(mutex_);
  while (!queued_.empty()) {
    const Queued next = queued_.front();
    queued_.pop_front();
    if (now - next.at > limits_.maxAge) {
      drop(1, now);
      continue;
    }
    if (mergesIntoLastActivation(next.command, now)) continue;
    lastActivation_.reset();
    if (isActivation(next.command)) lastActivation_ = now;
    return next.command;
  }
  return std::nullopt;
}

bool AutomationQueue::mergesIntoLastActivation(const EditorCommand& command, Clock::time_point now) const {
  return isActivation(command) && lastActivation_ && now - *lastActivation_ < limits_.activationMerge;
}

bool AutomationQueue::prepareToWait() {
  std::lock_guard lock(mutex_);
  consumerWaiting_ = queued_.empty();
  return consumerWaiting_;
}

void AutomationQueue::desktopChanged() {
  std::lock_guard lock(mutex_);
  lastActivation_.reset();
}

std::optional<std::size_t> AutomationQueue::dropReport(Clock::time_point now) {
  std::lock_guard lock(mutex_);
  if (dropped_ == 0 || (!queued_.empty() && now - firstDrop_ < limits_.reportAfter)) return std::nullopt;
  return std::exchange(dropped_, 0);
}

void AutomationQueue::drop(std::size_t count, Clock::time_point now) {
  if (dropped_ == 0) firstDrop_ = now;
  dropped_ += count;
}

}  // namespace tessevar
