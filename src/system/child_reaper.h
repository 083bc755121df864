#pragma once

#include <sys/types.h>

namespace tessevar {

// Collects a child of ours without making the caller wait for it: at once
// when it has exited, else on a short-lived thread that waits for its exit,
// so no zombie stays behind.
void reapWithoutWaiting(pid_t child);

}  // namespace tessevar
