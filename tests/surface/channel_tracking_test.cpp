#include "surface/mapping.h"

#include <gtest/gtest.h>

#include <ostream>

#include "surface_fixture.h"

namespace tessevar {
namespace {

using enum EditorPoint;

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
  EditorPoint point;
};
void PrintTo(const Display& d, std::ostream* os) {
  *os << "digits_" << d.first << "_" << d.second << "_entry_" << indexOf(d.point);
}
class DisplayIndex : public ::testing::TestWithParam<Display> {};

TEST_P(DisplayIndex, NamesTheStripEntry) {
  EXPECT_EQ(pointIndexForDisplay(GetParam().first, GetParam().second), indexOf(GetParam().point));
}

INSTANTIATE_TEST_SUITE_P(
    Displays, DisplayIndex,
    ::testing::Values(Display{0, 0, windowCorner}, Display{0, 9, strip9}, Display{1, 0, strip10},
                      Display{1, 6, strip16}, Display{1, 15, grid4}, Display{10, 0, strip17},
                      Display{10, 15, strip17}, Display{11, 1, strip18}, Display{11, 4, strip21},
                      Display{12, 1, grid1}, Display{12, 6, grid6}, Display{13, 1, column1},
                      Display{13, 4, column4}, Display{13, 15, topRow9}, Display{14, 0, rightBlock},
                      Display{14, 15, rightBlock}, Display{2, 5, windowCorner}, Display{9, 9, windowCorner},
                      Display{15, 15, windowCorner}));

using ChannelTracking = testing::SurfaceTest;

TEST_F(ChannelTracking, EveryAcceptedPairClicksEvenWhenTheIndexStaysTheSame) {
  fromMixer({0xB0, 0x60, 0x3F, 0x61, 0x5B});  // 0 with old second digit 0, then 02
  fromMixer({0xB0, 0x61, 0x5B});
  EXPECT_EQ(mapping.selectedIndex, indexOf(strip2));
  EXPECT_EQ(desktop.clicks(), entries({windowCorner, strip2, strip2}));
}

TEST_F(ChannelTracking, PastTheStripRowAlsoClicksTheStripRowEnd) {
  fromMixer({0xB0, 0x60, 0x50, 0x71, 0x66});  // r (old second digit 0), then r4
  fromMixer({0xB0, 0x70, 0x7C, 0x61, 0x06});  // b4, then b1
  fromMixer({0xB0, 0x70, 0x38});              // L from the digit's second controller
  EXPECT_EQ(mapping.selectedIndex, indexOf(rightBlock));
  EXPECT_EQ(desktop.clicks(),
            entries({strip17, strip21, grid4, stripRowEnd, grid1, stripRowEnd, rightBlock, stripRowEnd}));
}

}  // namespace
}  // namespace tessevar
