// tessevar-sim: a stand-in X-Touch or mixer for demos and manual tests.
//
//   tessevar-sim LOCAL_ADDRESS TESSEVAR_ADDRESS
//
// Opens UDP port 10111 on LOCAL_ADDRESS, talking to TESSEVAR_ADDRESS:10111.
// Each line typed on standard input is a datagram in hexadecimal bytes
// ("B0 60 06 61 5B") and is sent as it is; every datagram that arrives is
// printed as "< " and its bytes. Ends at end of input.
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "link/udp_socket.h"

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

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: tessevar-sim LOCAL_ADDRESS TESSEVAR_ADDRESS" << std::endl;
    return 2;
  }
  const int socket = tessevar::openConnectedUdpSocket(argv[1], argv[2], linkPort);
  if (socket < 0) {
    std::cerr << "cannot open UDP port " << linkPort << " on " << argv[1] << std::endl;
    return 1;
  }
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
