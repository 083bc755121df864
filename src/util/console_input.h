#pragma once

#include <array>
#include <streambuf>

#include "util/stop_signal.h"

namespace tessevar {

// Standard input for the console and the setup, read so that quitting never
// waits for the operator: once the stop is raised, a read that would block
// ends the input instead.
class ConsoleInput : public std::streambuf {
 public:
  explicit ConsoleInput(const StopSignal& stop) : stop_(stop) {}

 protected:
  int_type underflow() override;

 private:
  const StopSignal& stop_;
  std::array<char, 4096> buffer_{};
};

}  // namespace tessevar
