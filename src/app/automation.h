#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "editor/automation_thread.h"
#include "link/relay.h"

namespace tessevar {

// The mapping of surface traffic, run by the relay's thread for each
// datagram before it is forwarded (so the lamps it sends precede that
// datagram), and the automation thread that carries out what the mapping
// asks of the editor.
class Automation {
 public:
  Automation(DesktopFactory openDesktop, LineOutput& output, RelayState& relay, ProgressLog progress = {});
  ~Automation();

  // Starts the automation thread; says why there is no desktop, if so.
  std::optional<std::string> start();
  // Start-up's look at the editor: brings it to the front when it is there.
  void prepareEditor();
  void setEditorPid(std::int64_t pid);
  // Lets the command under way finish, waiting at most `patience`.
  void stop(std::chrono::milliseconds patience);

  void inspectSurfaceDatagram(const Datagram& datagram);
  void inspectMixerDatagram(const Datagram& datagram);

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace tessevar
