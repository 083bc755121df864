#pragma once

#include <string>

namespace tessevar::soak {

// The stage network: the program's en0 at 198.18.0.1; the X-Touch, the mixer
// and a stranger behind the link, in a network namespace of their own.
inline constexpr const char* strangerAddress = "198.18.0.9";
inline constexpr const char* stageNamespace = "stage";
inline constexpr const char* stageNamespacePath = "/run/netns/stage";

// Lays out the stage network; false with `problem` set when it cannot.
bool makeStageNamespace(std::string& problem);

// A /tmp of the soak's own: process ids of this namespace mean nothing
// outside it, so an X server elsewhere would take our server's lock file for
// a stale one and start on the same display. The tmpfs hides whatever was
// there, a clone's build tree included: the folders of the programs the soak
// starts are bound back where they were.
bool privateTmp(std::string& problem);

}  // namespace tessevar::soak
