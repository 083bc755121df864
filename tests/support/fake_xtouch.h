#pragma once

// Records every datagram the program sends to the X-Touch.

#include <cstdint>
#include <vector>

#include "surface/mapping.h"

namespace tessevar::testing {

struct FakeXTouch {
  std::vector<std::vector<std::uint8_t>> sent;

  SendToXTouch sender() {
    return [this](std::span<const std::uint8_t> bytes) { sent.emplace_back(bytes.begin(), bytes.end()); };
  }
};

}  // namespace tessevar::testing
