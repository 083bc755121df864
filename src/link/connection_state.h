#pragma once

#include <atomic>

#include "util/line_output.h"

namespace tessevar {

// The states a link passes through; waiting and failed print alike.
enum class LinkState { setup, preparing, ready, waiting, failed, cancelled };

// Prints one line per state change; on ready it raises the link's flag first.
void handleConnectionState(LinkState state, std::atomic<bool>& readyFlag, LineOutput& output);

}  // namespace tessevar
