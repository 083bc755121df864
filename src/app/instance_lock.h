#pragma once

#include <optional>

namespace tessevar {

// One relaying copy per user: two would share port 10111 and split the
// traffic between them. The lock is on a file in the user's runtime folder
// ($XDG_RUNTIME_DIR, else /tmp/tessevar-UID.lock) and the system drops it
// when the process ends, however it ends. Returns the process id of the copy
// that holds it (0 when it has not written it yet); nullopt when this one now
// does, or when no lock can be made (relaying then goes on unguarded rather
// than not at all).
std::optional<long> takeInstanceLock();

}  // namespace tessevar
