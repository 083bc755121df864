#include "surface/channel_tracking.h"

#include <gtest/gtest.h>

#include <ostream>

#include "surface_fixture.h"

namespace tessevar {
namespace {

using Segment = std::pair<std::uint8_t, int>;
class SegmentDigit : public ::testing::TestWithParam<Segment> {};

TEST_P(SegmentDigit, DecodesTheGlyph) { EXPECT_EQ(decodeSegmentDigit(GetParam().first), GetParam().second); }

INSTANTIATE_TEST_SUITE_P(
    Glyphs, SegmentDigit,
    ::testing::Values(Segment{0x06, 1}, Segment{0x5B, 2}, Segment{0x4F, 3}, Segment{0x66, 4},
                      Segment{0x6D, 5}, Segment{0x7D, 6}, Segment{0x07, 7}, Segment{0x7F, 8},
                      Segment{0x6F, 9}, Segment{0x77, 10}, Segment{0x50, 11}, Segment{0x7C, 12},
                      Segment{0x71, 13}, Segment{0x38, 14}, Segment{0x1C, 15},
                      // The glyph 0, a blank digit and high-bit bytes all read as 0.
                      Segment{0x3F, 0}, Segment{0x00, 0}, Segment{0x80, 0}, Segment{0xC6, 0},
                      Segment{0x86, 0}, Segment{0xFF, 0}));

struct Display {
  int first;
  int second;
  std::size_t index;
};
void PrintTo(const Display& d, std::ostream* os) {
  *os << "digits_" << d.first << "_" << d.second << "_entry_" << d.index;
}
class DisplayIndex : public ::testing::TestWithParam<Display> {};

TEST_P(DisplayIndex, NamesTheStripEntry) {
  EXPECT_EQ(pointIndexForDisplay(GetParam().first, GetParam().second), GetParam().index);
}

INSTANTIATE_TEST_SUITE_P(
    Displays, DisplayIndex,
    ::testing::Values(Display{0, 0, 0}, Display{0, 9, 9}, Display{1, 0, 10}, Display{1, 6, 16},
                      Display{1, 15, 25}, Display{10, 0, 17}, Display{10, 15, 17},
                      Display{11, 1, 18}, Display{11, 4, 21}, Display{12, 1, 22},
                      Display{12, 6, 27}, Display{13, 1, 28}, Display{13, 4, 31},
                      Display{13, 15, 42}, Display{14, 0, 32}, Display{14, 15, 32},
                      Display{2, 5, 0}, Display{9, 9, 0}, Display{15, 15, 0}));

using ChannelTracking = testing::SurfaceTest;

TEST_F(ChannelTracking, EveryAcceptedPairClicksEvenWhenTheIndexStaysTheSame) {
  fromMixer({0xB0, 0x60, 0x3F, 0x61, 0x5B});  // 0 with old second digit 0, then 02
  fromMixer({0xB0, 0x61, 0x5B});
  EXPECT_EQ(mapping.selectedIndex, 2u);
  EXPECT_EQ(desktop.clicks(), entries({0, 2, 2}));
}

TEST_F(ChannelTracking, PastTheStripRowAlsoClicksEntry33) {
  fromMixer({0xB0, 0x60, 0x50, 0x71, 0x66});  // r (old second digit 0), then r4
  fromMixer({0xB0, 0x70, 0x7C, 0x61, 0x06});  // b4, then b1
  fromMixer({0xB0, 0x70, 0x38});              // L from the digit's second controller
  EXPECT_EQ(mapping.selectedIndex, 32u);
  EXPECT_EQ(desktop.clicks(), entries({17, 21, 25, 33, 22, 33, 32, 33}));
}

}  // namespace
}  // namespace tessevar
