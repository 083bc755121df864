#pragma once

namespace tessevar {

// A pipe whose both ends are close-on-exec from the moment they exist, so a
// command spawned on another thread never inherits them. False on failure.
bool openCloexecPipe(int (&ends)[2]);

}  // namespace tessevar
