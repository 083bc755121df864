#include "system/spawn_lock.h"

namespace tessevar {

std::mutex& spawnLock() {
  static std::mutex lock;
  return lock;
}

}  // namespace tessevar
