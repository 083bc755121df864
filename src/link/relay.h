#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "link/udp_socket.h"
#include "util/line_output.h"
#include "util/progress_log.h"
#include "util/stop_signal.h"

namespace tessevar {

// Shown each datagram before it is forwarded, on the relay's thread; it
// cannot change it.
using Inspector = std::function<void(std::span<const std::uint8_t>)>;

enum class Side { surface, mixer };

inline constexpr std::uint16_t linkPort = 10111;

struct LinkSettings {
  std::string networkPortName;  // the interface whose address both links bind
  std::string surfaceAddress;
  std::string mixerAddress;
  std::uint16_t port = linkPort;  // UDP port of both links and, unless set below, of both peers
  // A peer's UDP port where it is not `port` (0): tests on a single loopback
  // address, as macOS has, give every endpoint a port of its own.
  std::uint16_t surfacePort = 0;
  std::uint16_t mixerPort = 0;
};

// The states a link passes through while it comes up.
enum class LinkState { setup, preparing, ready, waiting };

// Prints one line per state change; on ready it raises the link's flag first.
void handleConnectionState(LinkState state, bool& readyFlag, LineOutput& output);

// What goes to one peer at the end of a pass, in the order it must arrive:
// the forwards, and the program's own datagrams where the inspection of a
// datagram sent them, before that datagram.
class Outbox {
 public:
  // The bytes stay where they are (a receive buffer) until sendOn().
  void forward(std::span<const std::uint8_t> datagram) { queued_.push_back(datagram); }
  // A datagram of the program's own: copied.
  void own(std::span<const std::uint8_t> bytes);
  void sendOn(UdpSocket* socket, std::size_t& refusals);

 private:
  std::vector<std::span<const std::uint8_t>> queued_;
  std::deque<std::vector<std::uint8_t>> owned_;
};

// The two links and the relay between them. Everything here belongs to the
// one thread that opens the links and runs the relay; only the StopSignal
// comes from elsewhere.
//
// A pass takes whatever each peer has sent (X-Touch side first), a batch at
// most, and never waits for a batch to fill; shows each datagram to its
// side's inspector in order; then sends the batches on. So every datagram is
// inspected before it is forwarded, each direction keeps its order, and a
// lamp the inspection sends reaches the X-Touch before the datagram that
// caused it and after the ones before.
class Relay {
 public:
  using Clock = std::chrono::steady_clock;

  // `output` must outlive the relay: link states are printed into it.
  Relay(const LinkSettings& settings, std::string localHost, LineOutput& output, ProgressLog progress = {});

  // Tries to open each link not ready yet (X-Touch first), printing its
  // states: setup and preparing at the first try, "waiting or failed" once
  // while it waits, with the reason again whenever it changes, then ready.
  // True once both links are ready. The caller retries at its own pace.
  bool openLinks();

  // Relays until `stop` is raised; blocks while nothing comes.
  void run(const StopSignal& stop, const Inspector& surfaceInspector, const Inspector& mixerInspector);
  // One pass over both links. True when a batch came full: more may be
  // waiting already.
  bool relayStep(const Inspector& surfaceInspector, const Inspector& mixerInspector) {
    return pass(surfaceInspector, mixerInspector, {true, true});
  }

  // A datagram of the program's own to the X-Touch, sent with this pass's
  // forwards; from an inspector, on the relay's thread.
  void sendToXTouch(std::span<const std::uint8_t> bytes) { xtouch_.outbox.own(bytes); }

 private:
  // One peer's link: xtouch_.connection is xtouchConnection, xtouch_.ready
  // surfaceLinkReady, xtouch_.buffer surfaceBuffer; the mixer's alike.
  struct Link {
    Link(const char* linkName, SocketEnds socketEnds) : name(linkName), ends(std::move(socketEnds)) {}
    const char* name;
    SocketEnds ends;
    std::optional<UdpSocket> connection;
    bool ready = false;
    DatagramBatch buffer;  // what came in this pass, until forwarded
    Outbox outbox;         // what goes to this peer at the end of the pass
    bool tried = false;
    std::string lastProblem;  // empty until the first failed try
    std::size_t refusals = 0;  // counted by the socket, taken each pass
    std::size_t burst = 0;     // refusals since the burst began
    Clock::time_point burstBegan, lastRefusal;
  };

  void bringUp(Link& link);
  // Which links a pass reads: those the wait found readable.
  struct Waiting {
    bool surface;
    bool mixer;
  };
  bool pass(const Inspector& surfaceInspector, const Inspector& mixerInspector, Waiting waiting);
  bool take(Link& from, const Inspector& inspector, Link& towards);
  Waiting waitForDatagrams(const StopSignal& stop);
  void noteRefusals(Link& link, Clock::time_point now);
  std::optional<Clock::time_point> burstReportDue() const;

  LineOutput& output_;
  ProgressLog progress_;
  Link xtouch_;
  Link mixer_;
};

// Finds the local address of the configured interface and makes the relay,
// whose links are not open yet. Prints the two failure lines and returns
// nullptr when the interface has no usable address. When the interface list
// cannot be read at all, the links bind no particular address.
std::unique_ptr<Relay> setUpConnections(const LinkSettings& settings, LineOutput& output, ProgressLog progress = {});

}  // namespace tessevar
