#include "standby.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <iostream>
#include <vector>

#include "device_port.h"
#include "show.h"

namespace tessevar::sim {
namespace {

constexpr auto keepAliveEvery = std::chrono::seconds(2);

// Answers every "/xinfo" waiting on `from`, through `replies` so that the
// answer comes from the mixer's own address even for a broadcast query.
void answerQueries(int from, int replies, const std::vector<std::uint8_t>& answer) {
  std::array<std::uint8_t, 65536> buffer;
  sockaddr_in sender{};
  socklen_t length = sizeof sender;
  ssize_t size;
  while ((size = recvfrom(from, buffer.data(), buffer.size(), 0, reinterpret_cast<sockaddr*>(&sender), &length)) >= 0) {
    const auto query = parseOscMessage(std::span(buffer.data(), static_cast<std::size_t>(size)));
    if (query && query->address == "/xinfo") {
      sendto(replies, answer.data(), answer.size(), 0, reinterpret_cast<const sockaddr*>(&sender), length);
      char text[INET_ADDRSTRLEN] = {};
      inet_ntop(AF_INET, &sender.sin_addr, text, sizeof text);
      std::cout << "mixer: answered /xinfo from " << text << std::endl;
    }
    length = sizeof sender;
  }
}

}  // namespace

void runStandby(const StageAddresses& addresses, MixerInfo mixer) {
  if (mixer.address.empty()) mixer.address = addresses.mixer;
  const std::vector<std::uint8_t> answer = mixerAnswer(mixer);
  // A socket bound to one address never sees a broadcast: the wildcard one does.
  const int broadcasts = openDevicePort("0.0.0.0", mixerDiscoveryPort, addresses.networkNamespace);
  const int direct = openDevicePort(addresses.mixer, mixerDiscoveryPort, addresses.networkNamespace);
  const int surface = openDevicePort(addresses.surface, addresses.port, addresses.networkNamespace);
  const sockaddr_in tessevar = ipv4(addresses.tessevar, addresses.port);
  std::cout << "mixer " << mixer.name << " (" << mixer.model << ") answers discovery on " << addresses.mixer
            << "; X-Touch " << addresses.surface << " sends its keep-alive to " << addresses.tessevar
            << " every 2 s" << std::endl;
  auto nextKeepAlive = std::chrono::steady_clock::now();
  for (;;) {
    const auto now = std::chrono::steady_clock::now();
    if (now >= nextKeepAlive) {
      sendto(surface, keepAlive.data(), keepAlive.size(), 0, reinterpret_cast<const sockaddr*>(&tessevar),
             sizeof tessevar);
      nextKeepAlive = now + keepAliveEvery;
    }
    std::array<pollfd, 3> fds{pollfd{broadcasts, POLLIN, 0}, pollfd{direct, POLLIN, 0}, pollfd{surface, POLLIN, 0}};
    const auto wait = std::chrono::ceil<std::chrono::milliseconds>(nextKeepAlive - now);
    poll(fds.data(), fds.size(), static_cast<int>(wait.count()));
    answerQueries(broadcasts, direct, answer);
    answerQueries(direct, direct, answer);
    std::array<std::uint8_t, 2048> ignored;
    while (recv(surface, ignored.data(), ignored.size(), 0) >= 0) {
    }
  }
}

}  // namespace tessevar::sim
