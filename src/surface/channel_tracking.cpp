#include "surface/channel_tracking.h"

#include <array>
#include <utility>

#include "surface/wire_format.h"

namespace tessevar {

namespace {

constexpr std::array<std::pair<std::uint8_t, int>, 15> segmentDigits{{
    {0x06, 1},  {0x5B, 2},  {0x4F, 3},  {0x66, 4},  {0x6D, 5},
    {0x7D, 6},  {0x07, 7},  {0x7F, 8},  {0x6F, 9},  {0x77, 10},  // A
    {0x50, 11},  // r
    {0x7C, 12},  // b
    {0x71, 13},  // F
    {0x38, 14},  // L
    {0x1C, 15},  // u
}};

constexpr int digitA = 10;
constexpr int digitR = 11;
constexpr int digitB = 12;
constexpr int digitF = 13;
constexpr int digitL = 14;

constexpr std::size_t lastStripEntry = 21;
constexpr std::size_t beyondStripsEntry = 33;

std::size_t offset(std::size_t base, int second) { return base + static_cast<std::size_t>(second); }

}  // namespace

int decodeSegmentDigit(std::uint8_t pattern) {
  for (const auto& [segments, value] : segmentDigits) {
    if (segments == pattern) {
      return value;
    }
  }
  return 0;
}

std::size_t pointIndexForDisplay(int first, int second) {
  if (second < 0 || second > 15) {
    second = 0;  // only decoded digits reach here
  }
  switch (first) {
    case 0: return offset(0, second);
    case 1: return offset(10, second);
    case digitA: return 17;
    case digitR: return offset(17, second);
    case digitB: return offset(21, second);
    case digitF: return offset(27, second);
    case digitL: return 32;
    default: return 0;
  }
}

void updateDisplayDigit(SurfaceContext& context, std::uint8_t controller, std::uint8_t value) {
  MappingState& m = context.mapping;
  if (controller == wire::firstDigitController || controller == wire::firstDigitControllerAlt) {
    m.displayFirstDigit = decodeSegmentDigit(value);
  } else if (controller == wire::secondDigitController ||
             controller == wire::secondDigitControllerAlt) {
    m.displaySecondDigit = decodeSegmentDigit(value);
  } else {
    return;
  }
  m.selectedIndex = pointIndexForDisplay(m.displayFirstDigit, m.displaySecondDigit);
  context.editor.clickEntry(m.selectedIndex);
  if (m.selectedIndex > lastStripEntry) {
    context.editor.clickEntry(beyondStripsEntry);
  }
}

}  // namespace tessevar
