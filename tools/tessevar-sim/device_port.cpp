#include "device_port.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sched.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <thread>

namespace tessevar::sim {
namespace {

// Deep enough that a device never drops what the program relays, even
// through a stall of several seconds.
constexpr int deviceBufferBytes = 8 << 20;

void setBuffer(int descriptor, int forced, int plain) {
  // Root may go past the system's limit; anyone else gets what it allows.
  if (setsockopt(descriptor, SOL_SOCKET, forced, &deviceBufferBytes, sizeof deviceBufferBytes) != 0) {
    setsockopt(descriptor, SOL_SOCKET, plain, &deviceBufferBytes, sizeof deviceBufferBytes);
  }
}

int openHere(const std::string& address, std::uint16_t port, std::string& problem) {
  sockaddr_in local{};
  local.sin_family = AF_INET;
  local.sin_port = htons(port);
  if (inet_pton(AF_INET, address.c_str(), &local.sin_addr) != 1) {
    problem = "not an IPv4 address: " + address;
    return -1;
  }
  const int descriptor = socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  const int one = 1;
  setsockopt(descriptor, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
  setBuffer(descriptor, SO_RCVBUFFORCE, SO_RCVBUF);
  setBuffer(descriptor, SO_SNDBUFFORCE, SO_SNDBUF);
  if (bind(descriptor, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
    problem = "cannot open UDP port " + std::to_string(port) + " on " + address + ": " + std::strerror(errno);
    close(descriptor);
    return -1;
  }
  return descriptor;
}

}  // namespace

sockaddr_in ipv4(const std::string& address, std::uint16_t port) {
  sockaddr_in result{};
  result.sin_family = AF_INET;
  result.sin_port = htons(port);
  if (inet_pton(AF_INET, address.c_str(), &result.sin_addr) != 1) {
    throw std::runtime_error("not an IPv4 address: " + address);
  }
  return result;
}

int openDevicePort(const std::string& address, std::uint16_t port, const std::string& networkNamespace) {
  std::string problem;
  int descriptor = -1;
  if (networkNamespace.empty()) {
    descriptor = openHere(address, port, problem);
  } else {
    // A thread of its own enters the namespace, so the caller's stays put.
    std::thread([&] {
      const int ns = open(networkNamespace.c_str(), O_RDONLY | O_CLOEXEC);
      if (ns < 0 || setns(ns, CLONE_NEWNET) != 0) {
        problem = "cannot enter the network namespace " + networkNamespace;
      } else {
        descriptor = openHere(address, port, problem);
      }
      if (ns >= 0) close(ns);
    }).join();
  }
  if (descriptor < 0) throw std::runtime_error(problem);
  return descriptor;
}

}  // namespace tessevar::sim
