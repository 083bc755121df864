#pragma once

#include <array>
#include <bitset>
#include <cstddef>

namespace tessevar {

enum class PageSevenView { first, second, third };

// Mapping state of the surface layer; the relay loop's thread only.
struct MappingState {
  std::array<int, 8> stripSoloLamps{};  // last velocity of each strip's solo lamp note
  int soloToggle = 0;                   // our solo toggle button, 0 or 1
  int mixerPage = -1;                   // only the view-text page changes behaviour
  PageSevenView pageSevenView = PageSevenView::first;
  std::bitset<256> firstOffPending = std::bitset<256>().set();  // by note: no lamp-off seen yet
  int displayFirstDigit = 0;   // 0..15
  int displaySecondDigit = 0;  // 0..15
  std::size_t selectedIndex = 0;  // editorPoints entry of the strip the display names
};

}  // namespace tessevar
