#pragma once

#include <array>
#include <cstddef>

namespace tessevar {

enum class PageSevenView { first, second, third };

// Mapping state of the surface layer; the relay loop's thread only.
struct MappingState {
  std::array<int, 8> stripSoloLamps{};  // last velocity of mixer notes 0x08..0x0F
  int soloToggle = 0;                   // surface button 0x5A, 0 or 1
  int mixerPage = -1;                   // only 7 changes behaviour
  PageSevenView pageSevenView = PageSevenView::first;
  std::array<bool, 4> firstOffPending{true, true, true, true};  // notes 0x36..0x39
  int displayFirstDigit = 0;   // 0..15
  int displaySecondDigit = 0;  // 0..15
  std::size_t selectedIndex = 0;  // editorPoints entry of the strip the display names
};

}  // namespace tessevar
