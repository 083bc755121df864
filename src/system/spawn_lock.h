#pragma once

#include <mutex>

namespace tessevar {

// Held around every spawn of ours, and wherever a descriptor exists for a
// moment without close-on-exec, so no child inherits such a descriptor.
std::mutex& spawnLock();

}  // namespace tessevar
