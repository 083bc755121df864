#pragma once

#include <chrono>
#include <cstdint>
#include <thread>

#include "util/result.h"
#include "util/stop_signal.h"

namespace tessevar {

// One relaying copy per user: two would share UDP port 10111 and split the
// traffic between them. The lock is a file in a folder only its user can
// write (the runtime folder, else a private folder under the user's home;
// on Windows the user's local application data), opened without following
// links; the system drops it when the process ends, however it ends.
class InstanceLock {
 public:
  // `handle`: the open lock file (a descriptor, or a HANDLE on Windows), -1 for none.
  InstanceLock(std::intptr_t handle, long otherCopy) : handle_(handle), otherCopy_(otherCopy) {}
  InstanceLock(InstanceLock&& other) noexcept : handle_(other.handle_), otherCopy_(other.otherCopy_) {
    other.handle_ = -1;
  }
  InstanceLock& operator=(InstanceLock&&) = delete;
  ~InstanceLock();

  // The process id of the copy that holds the lock: 0 when this one does,
  // -1 when another one does that never said its id.
  long otherCopy() const { return otherCopy_; }

 private:
  std::intptr_t handle_;
  long otherCopy_;
};

// The lock as another copy holds it. That copy writes its id a moment
// after it took the lock, so the id is read until it is there, for up to
// half a second.
template <typename ReadId>
InstanceLock heldByAnotherCopy(ReadId readId) {
  long holder = readId();
  for (int read = 1; holder <= 0 && read < 50; ++read) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    holder = readId();
  }
  return InstanceLock(-1, holder > 0 ? holder : -1);
}

// The lock, or who holds it, or why no lock can be had (relaying then goes
// on unguarded, rather than not at all).
Result<InstanceLock> takeInstanceLock();

// SIGINT and SIGTERM (on Windows Ctrl+C, Ctrl+Break and closing the console
// window) raise `stop` in every phase of the program, which then ends with
// status 0 as "q" does; a closed standard output (SIGPIPE) never ends it.
// nullptr before `stop` goes: a signal then only marks quitBySignal.
void routeQuitSignals(StopSignal* stop);
// Whether a signal asked to quit.
bool quitBySignal();

// Readies standard output for the program's lines, first thing: on Windows
// the console takes them as UTF-8 and line ends pass unchanged, as they do
// everywhere else already.
void prepareStandardOutput();

}  // namespace tessevar
