// tessevar-sim: a stand-in X-Touch, mixer, or both, for demos, manual
// tests and the soak. `tessevar-sim --help` tells how to use it.
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <iostream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "link/udp_socket.h"
#include "report.h"
#include "show_runner.h"
#include "standby.h"

namespace {

constexpr std::uint16_t linkPort = 10111;

std::optional<std::vector<std::uint8_t>> parseHex(const std::string& line) {
  std::vector<std::uint8_t> bytes;
  std::istringstream words(line);
  for (std::string word; words >> word;) {
    std::size_t used = 0;
    unsigned long value = 0;
    try {
      value = std::stoul(word, &used, 16);
    } catch (const std::exception&) {
      return std::nullopt;
    }
    if (used != word.size() || value > 0xFF) return std::nullopt;
    bytes.push_back(static_cast<std::uint8_t>(value));
  }
  return bytes;
}

void printDatagram(const std::uint8_t* bytes, std::size_t size) {
  std::string text = "<";
  char hex[4];
  for (std::size_t i = 0; i < size; ++i) {
    std::snprintf(hex, sizeof hex, " %02X", bytes[i]);
    text += hex;
  }
  std::cout << text << std::endl;
}

void sendLine(int socket, const std::string& line) {
  if (auto bytes = parseHex(line)) {
    if (!bytes->empty()) send(socket, bytes->data(), bytes->size(), 0);
  } else {
    std::cerr << "not hexadecimal bytes: " << line << std::endl;
  }
}

// Sends every whole line typed so far; false at end of input. Reads the
// descriptor itself so no line waits in a stream buffer that poll() cannot see.
bool sendTypedLines(int socket, std::string& pending) {
  char chunk[4096];
  const ssize_t n = read(STDIN_FILENO, chunk, sizeof chunk);
  if (n <= 0) {
    if (!pending.empty()) sendLine(socket, pending);
    return false;
  }
  pending.append(chunk, static_cast<std::size_t>(n));
  for (std::size_t end; (end = pending.find('\n')) != std::string::npos; pending.erase(0, end + 1)) {
    sendLine(socket, pending.substr(0, end));
  }
  return true;
}

void printArrivals(int socket) {
  std::array<std::uint8_t, 65536> buffer;
  ssize_t n;
  while ((n = recv(socket, buffer.data(), buffer.size(), MSG_DONTWAIT)) >= 0) {
    printDatagram(buffer.data(), static_cast<std::size_t>(n));
  }
}

constexpr const char* usage =
    "usage: tessevar-sim LOCAL_ADDRESS TESSEVAR_ADDRESS\n"
    "       tessevar-sim --show [--rate R] [--seconds S] [--surface ADDRESS] [--mixer ADDRESS] [--tessevar ADDRESS]\n"
    "       tessevar-sim --standby [--name NAME] [--model MODEL] [--firmware VERSION]\n"
    "                    [--surface ADDRESS] [--mixer ADDRESS] [--tessevar ADDRESS]\n"
    "       tessevar-sim --help\n";

constexpr const char* help =
    "Stands in for the X-Touch, the mixer, or both, on UDP port 10111.\n"
    "\n"
    "Typed mode, LOCAL_ADDRESS TESSEVAR_ADDRESS: one device on LOCAL_ADDRESS. Each line typed\n"
    "on standard input is sent as one datagram of hexadecimal bytes (\"B0 60 06 61 5B\"); each\n"
    "datagram that arrives is printed as \"<\" and its bytes. Ends at end of input.\n"
    "\n"
    "Show mode, --show: both devices at once play a show through Tessevar.\n"
    "  The X-Touch sends its keep-alive F0 00 20 32 58 54 00 F7 every 2 s, moves a fader\n"
    "  (12 pitch-bend messages E0..E8) every 1.5 s, presses and releases a button every 3 s.\n"
    "  The mixer sends the device query F0 00 00 66 14 00 F7 every 6 s and meters (D0 and\n"
    "  8 bytes) at 10 Hz. Every 2 s comes a scene step: the scenes walk the channel display\n"
    "  through 01..16, A, r1..r4, b1..b6, F1..F4 and L (display runs B0 60 61 or B0 70 71,\n"
    "  with a lamp run of the select buttons and the strip's scribble-strip SysEx\n"
    "  F0 00 00 66 58 20+n, colour, 14 characters, F7), change pages (lamp runs of notes\n"
    "  33, 2C, 36..39, 29, 2A, 2B, 28, 2D), switch page 7's three views (strip 1's text\n"
    "  starting with 1, 2, 3), light strip solo lamps (08..0F), and press the X-Touch's\n"
    "  buttons 5A and 59.\n"
    "  --rate R         multiplies every rate above (default 1; 10 plays ten times as fast)\n"
    "  --seconds S      plays for S seconds (default 0: until interrupted with Ctrl-C)\n"
    "  --surface, --mixer, --tessevar ADDRESS\n"
    "                   the X-Touch's, the mixer's and Tessevar's addresses (default\n"
    "                   198.18.0.2, 198.18.0.3 and 198.18.0.1: the network of scripts/testnet)\n"
    "\n"
    "  Accounting: each datagram gets a sequence number per direction. Meters carry it in\n"
    "  their level nibbles and pitch bend in its fader value, bytes Tessevar never inspects;\n"
    "  the others are told apart by their bytes and their order. At the end it prints, for\n"
    "  each direction: datagrams sent, received, lost, duplicated, reordered and unexpected\n"
    "  (bytes nobody sent), those refused by the sender's own system, Tessevar's own lamp\n"
    "  datagrams to the X-Touch (90 59 xx, 90 5A xx), and the latency percentiles p50, p90,\n"
    "  p99, p99.9 and the maximum, the slowest datagram, and runs of lost datagrams and of\n"
    "  datagrams slower than 100 ms, with the times they were sent. It exits with status 1\n"
    "  when a datagram was lost, duplicated, reordered or unexpected.\n"
    "  Both devices' addresses must be this machine's; scripts/testnet makes such a network.\n"
    "\n"
    "Standby mode, --standby: both devices switched on, for Tessevar's setup to find.\n"
    "  The mixer answers the discovery query /xinfo on UDP port 10024, sent to its address\n"
    "  or as a broadcast, with its address, --name (default \"Sim XR18\"), --model (default\n"
    "  XR18) and --firmware (default 1.22); the X-Touch sends its keep-alive to Tessevar's\n"
    "  port 10111 every 2 s. Addresses as in show mode. Runs until interrupted.\n";

int typedMode(const char* local, const char* tessevar) {
  tessevar::Result<tessevar::UdpSocket> opened = tessevar::UdpSocket::open(
      {.localHost = local, .localPort = linkPort, .peerHost = tessevar, .peerPort = linkPort});
  if (!opened) {
    std::cerr << "cannot open UDP port " << linkPort << " on " << local << ": " << opened.reason() << std::endl;
    return 1;
  }
  const int socket = static_cast<int>(opened->handle());
  std::array<pollfd, 2> fds{pollfd{STDIN_FILENO, POLLIN, 0}, pollfd{socket, POLLIN, 0}};
  std::string pending;
  for (;;) {
    if (poll(fds.data(), fds.size(), -1) < 0) continue;
    if (fds[1].revents != 0) printArrivals(socket);
    if (fds[0].revents != 0 && !sendTypedLines(socket, pending)) break;
  }
  // Whatever was already on its way back.
  usleep(200'000);
  printArrivals(socket);
  close(socket);
  return 0;
}

tessevar::sim::ShowRunner* playing = nullptr;

void endShow(int) {
  if (playing != nullptr) playing->stop();
}

int showMode(const std::vector<std::string>& args) {
  using namespace tessevar::sim;
  StageAddresses addresses;
  double rate = 1;
  double seconds = 0;
  for (std::size_t i = 0; i < args.size(); i += 2) {
    if (i + 1 >= args.size()) {
      std::cerr << usage;
      return 2;
    }
    const std::string& name = args[i];
    const std::string& value = args[i + 1];
    try {
      if (name == "--rate") {
        rate = std::stod(value);
      } else if (name == "--seconds") {
        seconds = std::stod(value);
      } else if (name == "--surface") {
        addresses.surface = value;
      } else if (name == "--mixer") {
        addresses.mixer = value;
      } else if (name == "--tessevar") {
        addresses.tessevar = value;
      } else {
        std::cerr << usage;
        return 2;
      }
    } catch (const std::exception&) {
      std::cerr << "not a number: " << value << std::endl;
      return 2;
    }
  }
  try {
    ShowRunner runner(addresses, rate);
    playing = &runner;
    std::signal(SIGINT, endShow);
    std::signal(SIGTERM, endShow);
    runner.run(std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds)),
               std::chrono::seconds(1));
    playing = nullptr;
    bool clean = true;
    for (Side from : {Side::surface, Side::mixer}) {
      const DirectionSummary s = runner.summary(from);
      for (const std::string& line : describe(s, from, runner.started())) std::cout << line << "\n";
      clean = clean && s.lost == 0 && s.duplicated == 0 && s.reordered == 0 && s.unexpected == 0;
    }
    std::cout << std::flush;
    return clean ? 0 : 1;
  } catch (const std::exception& e) {
    std::cerr << e.what() << std::endl;
    return 1;
  }
}

int standbyMode(const std::vector<std::string>& args) {
  tessevar::sim::StageAddresses addresses;
  tessevar::MixerInfo mixer{.address = "", .name = "Sim XR18", .model = "XR18", .firmware = "1.22"};
  std::map<std::string, std::string*> options = {
      {"--name", &mixer.name},          {"--model", &mixer.model},      {"--firmware", &mixer.firmware},
      {"--surface", &addresses.surface}, {"--mixer", &addresses.mixer}, {"--tessevar", &addresses.tessevar}};
  for (std::size_t i = 0; i < args.size(); i += 2) {
    const auto option = options.find(args[i]);
    if (option == options.end() || i + 1 >= args.size()) {
      std::cerr << usage;
      return 2;
    }
    *option->second = args[i + 1];
  }
  try {
    tessevar::sim::runStandby(addresses, mixer);
  } catch (const std::exception& e) {
    std::cerr << e.what() << std::endl;
    return 1;
  }
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (!args.empty() && (args[0] == "--help" || args[0] == "-h")) {
    std::cout << usage << "\n" << help;
    return 0;
  }
  if (!args.empty() && args[0] == "--show") return showMode({args.begin() + 1, args.end()});
  if (!args.empty() && args[0] == "--standby") return standbyMode({args.begin() + 1, args.end()});
  if (args.size() != 2) {
    std::cerr << usage;
    return 2;
  }
  return typedMode(argv[1], argv[2]);
}
