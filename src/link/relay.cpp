#include "link/relay.h"

#include <array>

#include "link/interface_address.h"
#include "util/utf8.h"

namespace tessevar {
namespace {

// A burst of refusals is said once it has been quiet this long.
constexpr std::chrono::seconds burstQuiet{1};

SocketEnds endsOf(const std::string& localHost, std::uint16_t port, const std::string& peerHost,
                  std::uint16_t peerPort, const char* peerSetting) {
  return {.localHost = localHost,
          .localPort = port,
          .peerHost = peerHost,
          .peerPort = peerPort != 0 ? peerPort : port,
          .peerSetting = peerSetting};
}

std::string seconds(Relay::Clock::duration d) {
  const auto tenths = std::chrono::duration_cast<std::chrono::milliseconds>(d).count() / 100;
  return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + " s";
}

}  // namespace

void handleConnectionState(LinkState state, bool& readyFlag, LineOutput& output) {
  switch (state) {
    case LinkState::setup: output.line("setup"); break;
    case LinkState::preparing: output.line("preparing"); break;
    case LinkState::ready:
      readyFlag = true;
      output.line("ready");
      break;
    case LinkState::waiting: output.line("waiting or failed"); break;
  }
}

void Outbox::own(std::span<const std::uint8_t> bytes) {
  owned_.emplace_back(bytes.begin(), bytes.end());
  queued_.push_back(owned_.back());
}

void Outbox::sendOn(UdpSocket* socket, std::size_t& refusals) {
  if (socket != nullptr && !queued_.empty()) socket->send(queued_, refusals);
  queued_.clear();
  owned_.clear();
}

Relay::Relay(const LinkSettings& settings, std::string localHost, LineOutput& output, ProgressLog progress)
    : output_(output),
      progress_(std::move(progress)),
      xtouch_("X-Touch", endsOf(localHost, settings.port, settings.surfaceAddress, settings.surfacePort,
                                "the X-Touch address in the settings")),
      mixer_("mixer", endsOf(localHost, settings.port, settings.mixerAddress, settings.mixerPort,
                             "the mixer address in the settings")) {}

bool Relay::openLinks() {
  bringUp(xtouch_);
  bringUp(mixer_);
  return xtouch_.ready && mixer_.ready;
}

void Relay::bringUp(Link& link) {
  if (link.ready) return;
  if (!link.tried) {
    link.tried = true;
    handleConnectionState(LinkState::setup, link.ready, output_);
    handleConnectionState(LinkState::preparing, link.ready, output_);
  }
  Result<UdpSocket> opened = UdpSocket::open(link.ends);
  if (opened) {
    link.connection = std::move(*opened);
    handleConnectionState(LinkState::ready, link.ready, output_);
    return;
  }
  if (link.lastProblem.empty()) handleConnectionState(LinkState::waiting, link.ready, output_);
  if (opened.reason() != link.lastProblem) {
    link.lastProblem = opened.reason();
    output_.line(std::string(link.name) + " link waiting: " + link.lastProblem);
  }
}

void Relay::run(const StopSignal& stop, const Inspector& surfaceInspector, const Inspector& mixerInspector) {
  bool more = false;
  while (!stop.raised()) {
    const Waiting waiting = more ? Waiting{true, true} : waitForDatagrams(stop);
    more = pass(surfaceInspector, mixerInspector, waiting);
    if (xtouch_.refusals + mixer_.refusals + xtouch_.burst + mixer_.burst > 0) {
      const Clock::time_point now = Clock::now();
      noteRefusals(xtouch_, now);
      noteRefusals(mixer_, now);
    }
  }
}

bool Relay::pass(const Inspector& surfaceInspector, const Inspector& mixerInspector, Waiting waiting) {
  const bool surfaceFull = waiting.surface && take(xtouch_, surfaceInspector, mixer_);
  const bool mixerFull = waiting.mixer && take(mixer_, mixerInspector, xtouch_);
  mixer_.outbox.sendOn(mixer_.connection ? &*mixer_.connection : nullptr, mixer_.refusals);
  xtouch_.outbox.sendOn(xtouch_.connection ? &*xtouch_.connection : nullptr, xtouch_.refusals);
  return surfaceFull || mixerFull;
}

// The datagrams waiting on one link, each inspected, then queued towards the
// other peer. True when the batch came full.
bool Relay::take(Link& from, const Inspector& inspector, Link& towards) {
  if (!from.connection) return false;
  from.connection->receive(from.buffer, from.refusals);
  for (std::size_t i = 0; i < from.buffer.size(); ++i) {
    if (inspector) inspector(from.buffer[i]);
    towards.outbox.forward(from.buffer[i]);
  }
  return from.buffer.full();
}

Relay::Waiting Relay::waitForDatagrams(const StopSignal& stop) {
  std::array<Readable, 3> handles{Readable{stop.handle()}};
  std::array<const Link*, 3> links{};
  std::size_t count = 1;
  for (const Link* link : {&xtouch_, &mixer_}) {
    if (!link->connection) continue;
    links[count] = link;
    handles[count++] = Readable{link->connection->handle()};
  }
  std::optional<std::chrono::milliseconds> timeout;
  if (const auto due = burstReportDue()) {
    timeout = std::chrono::ceil<std::chrono::milliseconds>(*due - Clock::now());
  }
  waitReadable(std::span(handles.data(), count), timeout);
  Waiting waiting{false, false};
  for (std::size_t i = 1; i < count; ++i) {
    if (!handles[i].ready) continue;
    (links[i] == &xtouch_ ? waiting.surface : waiting.mixer) = true;
  }
  return waiting;
}

// Refusals never hold anything up, but a stream of them may be someone
// forging them: said once per burst, when it has ended.
void Relay::noteRefusals(Link& link, Clock::time_point now) {
  if (link.refusals > 0) {
    if (link.burst == 0) link.burstBegan = now;
    link.burst += link.refusals;
    link.refusals = 0;
    link.lastRefusal = now;
    return;
  }
  if (link.burst == 0 || now - link.lastRefusal < burstQuiet) return;
  progress_.note(std::string(link.name) + " link: " + std::to_string(link.burst) + " refusals (ICMP port unreachable) in " +
                 seconds(link.lastRefusal - link.burstBegan) + "; relaying went on");
  link.burst = 0;
}

std::optional<Relay::Clock::time_point> Relay::burstReportDue() const {
  std::optional<Clock::time_point> due;
  for (const Link* link : {&xtouch_, &mixer_}) {
    if (link->burst > 0 && (!due || link->lastRefusal + burstQuiet < *due)) due = link->lastRefusal + burstQuiet;
  }
  return due;
}

std::unique_ptr<Relay> setUpConnections(const LinkSettings& settings, LineOutput& output, ProgressLog progress) {
  const PeerAddresses peers = peerAddresses(settings.surfaceAddress, settings.mixerAddress);
  const std::optional<std::string> address = interfaceAddress(settings.networkPortName, peers);
  if (!address) {
    output.lines({"network cable may not be connected", "Check the network connection and restart the application"});
    return nullptr;
  }
  return std::make_unique<Relay>(settings, *address, output, std::move(progress));
}

}  // namespace tessevar
