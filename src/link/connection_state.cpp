#include "link/connection_state.h"

namespace tessevar {

void handleConnectionState(LinkState state, std::atomic<bool>& readyFlag, LineOutput& output) {
  switch (state) {
    case LinkState::setup:
      output.line("setup");
      break;
    case LinkState::preparing:
      output.line("preparing");
      break;
    case LinkState::ready:
      readyFlag = true;
      output.line("ready");
      break;
    case LinkState::cancelled:
      output.line("cancelled");
      break;
    case LinkState::waiting:
    case LinkState::failed:
      output.line("waiting or failed");
      break;
  }
}

}  // namespace tessevar
