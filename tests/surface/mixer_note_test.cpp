#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "surface_fixture.h"

namespace tessevar {
namespace {

using testing::Bytes;

// A lamp run from the mixer (the pairs after 0x90), with the display naming
// entry `selected`: the entries clicked, the keys pressed and the page after.
struct LampRow {
  Bytes pairs;
  std::size_t selected;
  std::vector<std::size_t> clicks;
  std::vector<Key> keys;
  int page;  // -1 is the start value
};
void PrintTo(const LampRow& row, std::ostream* os) { testing::printHex(row.pairs, os); }

class LampTable : public testing::SurfaceTest, public ::testing::WithParamInterface<LampRow> {};

TEST_P(LampTable, ClicksKeysAndPage) {
  const LampRow& row = GetParam();
  mapping.selectedIndex = row.selected;
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
    ::testing::Values(LampRow{{0x28, 0x7F}, 5, {36, 5}, {}, -1}, LampRow{{0x29, 0x01}, 5, {40, 5}, {}, 6},
                      LampRow{{0x2A, 0x7F}, 5, {41, 5}, {}, -1}, LampRow{{0x2B, 0x7F}, 5, {40, 5}, {}, 6},
                      LampRow{{0x2C, 0x7F}, 5, {38, 5, 32}, {}, 1}, LampRow{{0x2C, 0x7F}, 0, {38, 0, 32}, {}, 1},
                      LampRow{{0x2C, 0x7F}, 21, {38, 21, 32}, {}, 1},
                      LampRow{{0x2C, 0x7F}, 22, {38, 22, 33}, {}, 1},
                      LampRow{{0x2D, 0x7F}, 5, {37}, {}, 7}, LampRow{{0x33, 0x7F}, 5, {34, 32, 33, 5}, {}, 0},
                      LampRow{{0x36, 0x7F}, 5, {42}, {Key::f1}, 2}, LampRow{{0x37, 0x7F}, 5, {42}, {Key::f2}, 3},
                      LampRow{{0x38, 0x7F}, 5, {42}, {Key::f3}, 4}, LampRow{{0x39, 0x7F}, 5, {42}, {Key::f4}, 5},
                      LampRow{{0x46, 0x7F}, 5, {28}, {}, -1}, LampRow{{0x47, 0x7F}, 5, {29}, {}, -1},
                      LampRow{{0x48, 0x7F}, 5, {30}, {}, -1}, LampRow{{0x49, 0x7F}, 5, {31}, {}, -1},
                      LampRow{{0x4A, 0x7F}, 5, {22}, {}, -1}, LampRow{{0x4B, 0x7F}, 5, {23}, {}, -1},
                      LampRow{{0x4C, 0x7F}, 5, {24}, {}, -1}, LampRow{{0x4D, 0x7F}, 5, {25}, {}, -1},
                      LampRow{{0x4E, 0x7F}, 5, {26}, {}, -1}, LampRow{{0x4F, 0x7F}, 5, {27}, {}, -1},
                      // Pairs of one run, each to its end before the next.
                      LampRow{{0x33, 0x7F, 0x37, 0x7F, 0x4B, 0x7F}, 3, {34, 32, 33, 3, 42, 23}, {Key::f2}, 3}));

// The first lamp-off of each note is the mixer's initial state; the second is a real one.
INSTANTIATE_TEST_SUITE_P(
    LampOff, LampTable,
    ::testing::Values(LampRow{{0x36, 0x00, 0x36, 0x00}, 5, {}, {Key::f1, Key::escape}, -1},
                      LampRow{{0x37, 0x00, 0x37, 0x00}, 5, {}, {Key::f2, Key::escape}, -1},
                      LampRow{{0x38, 0x00, 0x38, 0x00}, 5, {}, {Key::f3, Key::escape}, -1},
                      LampRow{{0x39, 0x00, 0x39, 0x00}, 5, {}, {Key::f4, Key::escape}, -1},
                      LampRow{{0x2C, 0x00, 0x2C, 0x00}, 5, {}, {}, -1},
                      LampRow{{0x33, 0x00, 0x33, 0x00}, 5, {}, {}, -1}));

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
  EXPECT_EQ(desktop.clicks(), entries({42}));
  EXPECT_EQ(desktop.keys(), (std::vector<Key>{Key::f1, Key::f1, Key::escape}));
  fromMixer({0x90, 0x37, 0x00});
  EXPECT_EQ(desktop.keys().size(), 5u);
}

}  // namespace
}  // namespace tessevar
