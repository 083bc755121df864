#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "show.h"

namespace tessevar::soak {

// Runs a command and waits for it; true when it exited with status 0.
bool runCommand(const std::vector<std::string>& argv);

// Waits until `interface` and, in `peerNamespace` (a name for ip -n),
// `peerInterface` are operationally up: only then does the link carry
// datagrams again. False when that does not happen in time.
bool waitUntilOperational(const std::string& interface, const std::string& peerNamespace,
                          const std::string& peerInterface, std::chrono::seconds patience);

// Datagrams no device should send: empty, one byte, a cut SysEx, a SysEx
// without its end, data bytes without a status byte, the largest IPv4 UDP
// payload of random bytes, and a display run of 1,000 pairs.
std::vector<sim::Bytes> malformedCorpus();

// Sends from `fromAddress` and each of `fromPorts` (in `networkNamespace`)
// to the program's port for `length`, pacing itself at about `perSecond`;
// returns how many were sent.
std::uint64_t flood(const std::string& networkNamespace, const std::string& fromAddress,
                    const std::vector<std::uint16_t>& fromPorts, const std::string& toAddress, std::uint16_t toPort,
                    std::chrono::milliseconds length, int perSecond);

}  // namespace tessevar::soak
