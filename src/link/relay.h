#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "util/line_output.h"

namespace tessevar {

using Datagram = std::vector<std::uint8_t>;
// Shown each datagram before it is forwarded, on the relay loop's thread; it
// cannot change it.
using Inspector = std::function<void(const Datagram&)>;

class UdpLink;
class WakeUp;

enum class Side { surface, mixer };

// The relay's program-wide state. The buffers, the waiting flags and every
// send belong to the relay loop's thread; the ready flags are raised by the
// links' start-up threads, and quitting comes from the console.
struct RelayState {
  RelayState();
  ~RelayState();

  Datagram surfaceBuffer;  // the latest datagram from each peer, until forwarded
  Datagram mixerBuffer;
  bool surfaceDataWaiting = false;
  bool mixerDataWaiting = false;
  std::atomic<bool> surfaceLinkReady{false};
  std::atomic<bool> mixerLinkReady{false};
  std::atomic<bool> quitRequested{false};
  std::unique_ptr<UdpLink> xtouchConnection;
  std::unique_ptr<UdpLink> mixerConnection;
  std::unique_ptr<WakeUp> wakeUp;  // breaks the main loop out of its wait
};

inline constexpr std::uint16_t linkPort = 10111;

struct LinkSettings {
  std::string networkPortName;
  std::string surfaceAddress;
  std::string mixerAddress;
  std::uint16_t port = linkPort;  // local port of both links and, unless set below, of both peers
  // A peer's port where it is not `port` (0): tests on a single loopback
  // address, as macOS has, give every endpoint a port of its own.
  std::uint16_t surfacePort = 0;
  std::uint16_t mixerPort = 0;
};

// Opens and starts both links (X-Touch first); their state lines are printed
// from the links' own threads, so `output` must outlive `relay`.
// Returns false, after printing the two failure lines, when the port has no
// usable address; no link is then created. When the interface list cannot be
// read at all, the links bind no particular local address.
bool setUpConnections(RelayState& relay, const LinkSettings& settings, LineOutput& output);

// Issues the first receive on one side's link; callable from any thread.
void armFirstReceive(RelayState& relay, Side side);

// The main thread's loop: waits for datagrams and relays them until
// quitRequested is raised.
void runRelayLoop(RelayState& relay, const Inspector& surfaceInspector, const Inspector& mixerInspector);

// Raises quitRequested and wakes the main loop.
void requestQuit(RelayState& relay);

// Sends one datagram of the program's own to the X-Touch; the relay loop's
// thread only, like every other send.
void sendToXTouch(RelayState& relay, std::span<const std::uint8_t> bytes);

}  // namespace tessevar
