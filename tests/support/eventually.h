#pragma once

#include <chrono>
#include <functional>
#include <thread>

namespace tessevar::testing {

// Waits for a condition set by another thread; false if it never came. A
// generous limit only keeps a broken build from hanging; nothing here is timed.
inline bool eventually(const std::function<bool()>& condition,
                       std::chrono::milliseconds limit = std::chrono::seconds(20)) {
  auto giveUp = std::chrono::steady_clock::now() + limit;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > giveUp) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

}  // namespace tessevar::testing
