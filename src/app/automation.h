#pragma once

#include <cstdint>
#include <memory>
#include <span>

#include "link/relay.h"
#include "platform/desktop.h"

namespace tessevar {

// Editor automation and the mapping of surface traffic, wired to the relay's
// send path. Everything here runs on the main thread.
class Automation {
 public:
  Automation(Desktop& desktop, RelayState& relay);
  ~Automation();

  // The point table, then the first window lookup and activation.
  void prepareEditor();
  void setEditorPid(std::int64_t pid);

  void inspectSurfaceDatagram(const Datagram& datagram);
  void inspectMixerDatagram(const Datagram& datagram);

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace tessevar
