#pragma once

#include <sys/types.h>

#include <cstdint>
#include <memory>
#include <string>

struct Place {
  std::string address;
  std::uint16_t port = 0;
};

// Where the relay being measured sits, and where its peers and the direct
// baseline's sockets are.
struct Stage {
  Place relay, xtouch, mixer;
  Place directA, directB;  // the baseline's two sockets
};

// A relay between the stage's X-Touch and mixer: either the real program
// (inside the test network of scripts/testnet) or the link layer's relay
// loop in this process (anywhere else).
class RelayUnderTest {
 public:
  virtual ~RelayUnderTest() = default;
  virtual const char* description() const = 0;
  // CPU seconds the relay has used so far.
  virtual double cpuSeconds() const = 0;
  // Whether a test editor runs on the relay's display, to be clicked.
  virtual bool editorPresent() const { return false; }
};

bool insideTestNetwork();
const Stage& benchStage();
std::unique_ptr<RelayUnderTest> startRelayUnderTest();
// The real program in the test network (real_program.cpp, Linux only).
std::unique_ptr<RelayUnderTest> startRealProgram();
