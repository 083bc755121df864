#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "surface_fixture.h"

namespace tessevar {
namespace {

using enum EditorPoint;

using testing::Bytes;

// A lamp run from the mixer (the pairs after 0x90), with the display naming
// the point `selected`: the points clicked, the keys pressed and the page after.
struct LampRow {
  Bytes pairs;
  EditorPoint selected;
  std::vector<EditorPoint> clicks;
  std::vector<Key> keys;
  int page;  // -1 is the start value
};
void PrintTo(const LampRow& row, std::ostream* os) { testing::printHex(row.pairs, os); }

class LampTable : public testing::SurfaceTest, public ::testing::WithParamInterface<LampRow> {};

TEST_P(LampTable, ClicksKeysAndPage) {
  const LampRow& row = GetParam();
  mapping.selectedIndex = indexOf(row.selected);
  Bytes datagram{0x90};
  datagram.insert(datagram.end(), row.pairs.begin(), row.pairs.end());
  fromMixer(datagram);
  EXPECT_EQ(desktop.clicks(), entries(row.clicks));
  EXPECT_EQ(desktop.keys(), row.keys);
  EXPECT_EQ(mapping.mixerPage, row.page);
  EXPECT_TRUE(xtouch.sent.empty());
}

INSTANTIATE_TEST_SUITE_P(
    LampOn, LampTable,
    ::testing::Values(LampRow{{0x28, 0x7F}, strip5, {topRow3, strip5}, {}, -1},
                      LampRow{{0x29, 0x01}, strip5, {topRow7, strip5}, {}, 6},
                      LampRow{{0x2A, 0x7F}, strip5, {topRow8, strip5}, {}, -1},
                      LampRow{{0x2B, 0x7F}, strip5, {topRow7, strip5}, {}, 6},
                      LampRow{{0x2C, 0x7F}, strip5, {topRow5, strip5, rightBlock}, {}, 1},
                      LampRow{{0x2C, 0x7F}, windowCorner, {topRow5, windowCorner, rightBlock}, {}, 1},
                      LampRow{{0x2C, 0x7F}, strip21, {topRow5, strip21, rightBlock}, {}, 1},
                      LampRow{{0x2C, 0x7F}, grid1, {topRow5, grid1, stripRowEnd}, {}, 1},
                      LampRow{{0x2D, 0x7F}, strip5, {topRow4}, {}, 7},
                      LampRow{{0x33, 0x7F}, strip5, {topRow1, rightBlock, stripRowEnd, strip5}, {}, 0},
                      LampRow{{0x36, 0x7F}, strip5, {topRow9}, {Key::f1}, 2},
                      LampRow{{0x37, 0x7F}, strip5, {topRow9}, {Key::f2}, 3},
                      LampRow{{0x38, 0x7F}, strip5, {topRow9}, {Key::f3}, 4},
                      LampRow{{0x39, 0x7F}, strip5, {topRow9}, {Key::f4}, 5},
                      LampRow{{0x46, 0x7F}, strip5, {column1}, {}, -1},
                      LampRow{{0x47, 0x7F}, strip5, {column2}, {}, -1},
                      LampRow{{0x48, 0x7F}, strip5, {column3}, {}, -1},
                      LampRow{{0x49, 0x7F}, strip5, {column4}, {}, -1},
                      LampRow{{0x4A, 0x7F}, strip5, {grid1}, {}, -1}, LampRow{{0x4B, 0x7F}, strip5, {grid2}, {}, -1},
                      LampRow{{0x4C, 0x7F}, strip5, {grid3}, {}, -1}, LampRow{{0x4D, 0x7F}, strip5, {grid4}, {}, -1},
                      LampRow{{0x4E, 0x7F}, strip5, {grid5}, {}, -1}, LampRow{{0x4F, 0x7F}, strip5, {grid6}, {}, -1},
                      // Pairs of one run, each to its end before the next.
                      LampRow{{0x33, 0x7F, 0x37, 0x7F, 0x4B, 0x7F}, strip3,
                              {topRow1, rightBlock, stripRowEnd, strip3, topRow9, grid2}, {Key::f2}, 3}));

// The first lamp-off of each note is the mixer's initial state; the second is a real one.
INSTANTIATE_TEST_SUITE_P(
    LampOff, LampTable,
    ::testing::Values(LampRow{{0x36, 0x00, 0x36, 0x00}, strip5, {}, {Key::f1, Key::escape}, -1},
                      LampRow{{0x37, 0x00, 0x37, 0x00}, strip5, {}, {Key::f2, Key::escape}, -1},
                      LampRow{{0x38, 0x00, 0x38, 0x00}, strip5, {}, {Key::f3, Key::escape}, -1},
                      LampRow{{0x39, 0x00, 0x39, 0x00}, strip5, {}, {Key::f4, Key::escape}, -1},
                      LampRow{{0x2C, 0x00, 0x2C, 0x00}, strip5, {}, {}, -1},
                      LampRow{{0x33, 0x00, 0x33, 0x00}, strip5, {}, {}, -1}));

using MixerNote = testing::SurfaceTest;

TEST_F(MixerNote, NotesOutsideTheTableDoNothingLitOrDark) {
  const std::set<int> mapped{0x28, 0x29, 0x2A, 0x2B, 0x2C, 0x2D, 0x33, 0x36, 0x37, 0x38, 0x39};
  Bytes run{0x90};
  for (int note = 0; note < 256; ++note) {
    const bool strip = note >= 0x08 && note <= 0x0F;
    if (strip || mapped.contains(note) || (note >= 0x46 && note <= 0x4F)) continue;
    const auto n = static_cast<std::uint8_t>(note);
    run.insert(run.end(), {n, 0x7F, n, 0x00, n, 0x00});
  }
  fromMixer(run);
  EXPECT_TRUE(desktop.clicks().empty());
  EXPECT_TRUE(desktop.keys().empty());
  EXPECT_TRUE(xtouch.sent.empty());
  EXPECT_EQ(mapping.mixerPage, -1);
}

TEST_F(MixerNote, EachNoteHasItsOwnFirstLampOff) {
  fromMixer({0x90, 0x36, 0x00});
  EXPECT_TRUE(desktop.keys().empty());
  fromMixer({0x90, 0x36, 0x7F, 0x36, 0x00, 0x37, 0x00});
  EXPECT_EQ(desktop.clicks(), entries({topRow9}));
  EXPECT_EQ(desktop.keys(), (std::vector<Key>{Key::f1, Key::f1, Key::escape}));
  fromMixer({0x90, 0x37, 0x00});
  EXPECT_EQ(desktop.keys().size(), 5u);
}

}  // namespace
}  // namespace tessevar
