#pragma once

#include <cstdint>

#include "platform/desktop.h"

namespace tessevar::macos {

// A left button down or up at a global point, posted at the HID event tap.
void postLeftButton(Point at, bool down);
// A key down or up posted to one process.
void postKeyToProcess(std::int64_t pid, Key key, bool down);

}  // namespace tessevar::macos
