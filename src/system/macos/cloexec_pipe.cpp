#include "system/cloexec_pipe.h"

#include <fcntl.h>
#include <unistd.h>

#include <mutex>

#include "system/spawn_lock.h"

namespace tessevar {

// Without pipe2 the flags are set after the pipe exists; holding the spawn
// lock keeps our own spawns out of that window.
bool openCloexecPipe(int (&ends)[2]) {
  std::lock_guard lock(spawnLock());
  if (::pipe(ends) != 0) return false;
  ::fcntl(ends[0], F_SETFD, FD_CLOEXEC);
  ::fcntl(ends[1], F_SETFD, FD_CLOEXEC);
  return true;
}

}  // namespace tessevar
