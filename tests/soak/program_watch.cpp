#include "soak/program_watch.h"

#include <arpa/inet.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace tessevar::soak {
namespace {

// /proc/net/udp writes "0100A8C0:277F": the address as the kernel stores it, the port in hex.
std::string endpoint(const std::string& hex) {
  const auto colon = hex.find(':');
  if (colon == std::string::npos) return hex;
  in_addr address{};
  address.s_addr = static_cast<in_addr_t>(std::stoul(hex.substr(0, colon), nullptr, 16));
  return std::string(inet_ntoa(address)) + ":" + std::to_string(std::stoul(hex.substr(colon + 1), nullptr, 16));
}

}  // namespace

std::optional<ResourceSample> sampleResources(pid_t pid, double at) {
  const std::filesystem::path proc = "/proc/" + std::to_string(pid);
  std::ifstream status(proc / "status");
  if (!status) return std::nullopt;
  ResourceSample sample{.at = at};
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("VmRSS:", 0) == 0) sample.residentKb = std::stol(line.substr(6));
  }
  std::error_code error;
  for (auto it = std::filesystem::directory_iterator(proc / "fd", error); !error && it != std::filesystem::end(it);
       it.increment(error)) {
    ++sample.descriptors;
  }
  if (error) return std::nullopt;
  return sample;
}

std::vector<std::string> udpSockets() {
  std::ifstream table("/proc/net/udp");
  std::vector<std::string> drops;
  std::string line;
  std::getline(table, line);  // the heading
  while (std::getline(table, line)) {
    std::istringstream fields(line);
    std::vector<std::string> f;
    for (std::string field; fields >> field;) f.push_back(field);
    if (f.size() < 13) continue;
    drops.push_back(endpoint(f[1]) + " <- " + endpoint(f[2]) + ": " + f.back() + " dropped at a full receive buffer");
  }
  return drops;
}

void ProgramWatch::stop() {
  stopping_ = true;
  if (thread_.joinable()) thread_.join();
}

std::vector<ResourceSample> ProgramWatch::samples() {
  std::lock_guard lock(mutex_);
  return samples_;
}

std::optional<ResourceSample> ProgramWatch::latest() {
  std::lock_guard lock(mutex_);
  if (samples_.empty()) return std::nullopt;
  return samples_.back();
}

void ProgramWatch::loop() {
  using namespace std::chrono_literals;
  while (!stopping_) {
    const double at = std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    if (auto sample = sampleResources(program_.pid(), at)) {
      std::lock_guard lock(mutex_);
      samples_.push_back(*sample);
    }
    while (auto line = program_.nextLine(5ms)) said_.push_back(*line);
    std::this_thread::sleep_for(1s);
  }
}

}  // namespace tessevar::soak
