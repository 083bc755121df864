#pragma once

#include "util/result.h"
#include "util/stop_signal.h"

namespace tessevar {

// One relaying copy per user: two would share UDP port 10111 and split the
// traffic between them. The lock is a file in a folder only its user can
// write (the runtime folder, else a private folder under the user's home),
// opened without following links; the system drops it when the process
// ends, however it ends.
class InstanceLock {
 public:
  InstanceLock(int descriptor, long otherCopy) : descriptor_(descriptor), otherCopy_(otherCopy) {}
  InstanceLock(InstanceLock&& other) noexcept : descriptor_(other.descriptor_), otherCopy_(other.otherCopy_) {
    other.descriptor_ = -1;
  }
  InstanceLock& operator=(InstanceLock&&) = delete;
  ~InstanceLock();

  // The process id of the copy that holds the lock: 0 when this one does,
  // -1 when another one does that never said its id.
  long otherCopy() const { return otherCopy_; }

 private:
  int descriptor_;
  long otherCopy_;
};

// The lock, or who holds it, or why no lock can be had (relaying then goes
// on unguarded, rather than not at all).
Result<InstanceLock> takeInstanceLock();

// SIGINT and SIGTERM raise `stop` in every phase of the program, which then
// ends with status 0 as "q" does; a closed standard output (SIGPIPE) never
// ends it. nullptr before `stop` goes: a signal then only marks quitBySignal.
void routeQuitSignals(StopSignal* stop);
// Whether a signal asked to quit.
bool quitBySignal();

}  // namespace tessevar
