#pragma once

#include <cstdint>
#include <vector>

#include "platform/desktop.h"
#include "platform/macos/window_rules.h"

namespace tessevar::macos {

// CGWindowListCopyWindowInfo(option, relativeTo), front to back. Entries
// whose owner `wanted` refuses are passed over before anything else of
// theirs is read; an empty filter wants every window. Entries without a
// number or readable bounds are passed over too.
std::vector<ListedWindow> copyWindowList(std::uint32_t option, std::uint32_t relativeTo,
                                         const OwnerFilter& wanted = {});

}  // namespace tessevar::macos
