#include "soak/faults.h"

#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <random>
#include <thread>

#include "device_port.h"
#include "support/child_process.h"
#include "support/udp_peer.h"

namespace tessevar::soak {

bool runCommand(const std::vector<std::string>& argv) {
  const pid_t pid = testing::spawnProcess(argv);
  if (pid <= 0) return false;
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool waitUntilOperational(const std::string& interface, const std::string& peerNamespace,
                          const std::string& peerInterface, std::chrono::seconds patience) {
  const std::string peerUp = "ip -n " + peerNamespace + " -o link show " + peerInterface + " | grep -q 'state UP'";
  const auto deadline = std::chrono::steady_clock::now() + patience;
  while (std::chrono::steady_clock::now() < deadline) {
    std::string state;
    std::ifstream("/sys/class/net/" + interface + "/operstate") >> state;
    if (state == "up" && std::system(peerUp.c_str()) == 0) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return false;
}

std::vector<sim::Bytes> malformedCorpus() {
  std::vector<sim::Bytes> corpus{
      {},
      {0x90},
      {0xF0, 0x00, 0x00, 0x66},
      {0xF0, 0x00, 0x00, 0x66, 0x58, 0x21, 0x00, 0x31, 0x41, 0x42, 0x43},
      {0x28, 0x7F, 0x29, 0x00, 0x60, 0x06, 0x61, 0x5B},
  };
  // The largest IPv4 UDP payload. Its first byte is a data byte, so it
  // tests size and framing; long click runs are the display run's job.
  sim::Bytes random(65507);
  std::mt19937 generator(20240611);
  for (auto& byte : random) byte = static_cast<std::uint8_t>(generator());
  random[0] = 0x00;
  corpus.push_back(std::move(random));
  // 1,000 display pairs walking both digits through the glyphs.
  const std::uint8_t glyphs[] = {0x06, 0x5B, 0x4F, 0x66, 0x6D, 0x7D, 0x07, 0x7F, 0x6F, 0x77, 0x50, 0x7C, 0x71, 0x38};
  sim::Bytes display{0xB0};
  for (int pair = 0; pair < 1000; ++pair) {
    display.push_back(pair % 2 == 0 ? 0x60 : 0x61);
    display.push_back(glyphs[pair % sizeof glyphs]);
  }
  corpus.push_back(std::move(display));
  return corpus;
}

std::uint64_t flood(const std::string& networkNamespace, const std::string& fromAddress,
                    const std::vector<std::uint16_t>& fromPorts, const std::string& toAddress, std::uint16_t toPort,
                    std::chrono::milliseconds length, int perSecond) {
  // What would do harm if the program took it: a solo press, a display run, a page lamp.
  const std::vector<sim::Bytes> payloads{{0x90, 0x5A, 0x7F}, {0xB0, 0x60, 0x06, 0x61, 0x5B}, {0x90, 0x36, 0x7F}};
  std::vector<int> sockets;
  for (std::uint16_t port : fromPorts) sockets.push_back(sim::openDevicePort(fromAddress, port, networkNamespace));
  const sockaddr_in target = testing::socketAddress(toAddress, toPort);
  std::uint64_t sent = 0;
  constexpr auto tick = std::chrono::milliseconds(10);
  const int perTick = std::max(1, perSecond / 100);
  const auto end = std::chrono::steady_clock::now() + length;
  for (auto next = std::chrono::steady_clock::now(); next < end && !sockets.empty(); next += tick) {
    for (int i = 0; i < perTick; ++i, ++sent) {
      const sim::Bytes& p = payloads[(sent / sockets.size()) % payloads.size()];
      const auto* to = reinterpret_cast<const sockaddr*>(&target);
      sendto(sockets[sent % sockets.size()], p.data(), p.size(), 0, to, sizeof target);
    }
    std::this_thread::sleep_until(next + tick);
  }
  for (int s : sockets) close(s);
  return sent;
}

}  // namespace tessevar::soak
