#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <span>

namespace tessevar {

// What the system waits on: a descriptor on POSIX systems, a socket on Windows.
using PollHandle = std::intptr_t;

struct Readable {
  PollHandle handle = -1;
  bool ready = false;  // set by waitReadable: a read will not block (it may report an error)
};

// Blocks until one of the handles can be read or `timeout` has passed
// (nullopt: no limit), and marks which. False when none became ready: the
// time ran out, or a signal came in (its handler has raised what it wants
// the caller to see).
bool waitReadable(std::span<Readable> handles, std::optional<std::chrono::milliseconds> timeout);

}  // namespace tessevar
