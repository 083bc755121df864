#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "surface/button_mapping.h"
#include "surface_fixture.h"

namespace tessevar {
namespace {

struct NoteRow {
  std::uint8_t note;
  std::uint8_t velocity;
  std::size_t selectedIndex;
  std::vector<std::size_t> clicks;
  std::vector<Key> keys;
  int mixerPage;  // after the message; -1 is the start value
};

class MixerNoteTable : public testing::SurfaceTest, public ::testing::WithParamInterface<NoteRow> {};

TEST_P(MixerNoteTable, ClicksKeysAndPage) {
  const NoteRow& row = GetParam();
  mapping.selectedIndex = row.selectedIndex;
  mapping.firstOffPending.fill(false);  // the first-off rule has its own test
  handleMixerNote(context, row.note, row.velocity);
  std::vector<Point> expected;
  for (std::size_t i : row.clicks) expected.push_back(editor.state.editorPoints[i]);
  EXPECT_EQ(desktop.clicks(), expected);
  EXPECT_EQ(desktop.keys(), row.keys);
  EXPECT_EQ(mapping.mixerPage, row.mixerPage);
  EXPECT_TRUE(xtouch.sent.empty());
}

INSTANTIATE_TEST_SUITE_P(
    LampOn, MixerNoteTable,
    ::testing::Values(NoteRow{0x28, 0x7F, 5, {36, 5}, {}, -1}, NoteRow{0x29, 0x01, 5, {40, 5}, {}, 6},
                      NoteRow{0x2A, 0x7F, 5, {41, 5}, {}, -1}, NoteRow{0x2B, 0x7F, 5, {40, 5}, {}, 6},
                      NoteRow{0x2C, 0x7F, 5, {38, 5, 32}, {}, 1},
                      NoteRow{0x2C, 0x7F, 21, {38, 21, 32}, {}, 1},
                      NoteRow{0x2C, 0x7F, 22, {38, 22, 33}, {}, 1},
                      NoteRow{0x2D, 0x7F, 5, {37}, {}, 7},
                      NoteRow{0x33, 0x7F, 5, {34, 32, 33, 5}, {}, 0},
                      NoteRow{0x36, 0x7F, 5, {42}, {Key::f1}, 2}, NoteRow{0x37, 0x7F, 5, {42}, {Key::f2}, 3},
                      NoteRow{0x38, 0x7F, 5, {42}, {Key::f3}, 4}, NoteRow{0x39, 0x7F, 5, {42}, {Key::f4}, 5},
                      NoteRow{0x46, 0x7F, 5, {28}, {}, -1}, NoteRow{0x47, 0x7F, 5, {29}, {}, -1},
                      NoteRow{0x48, 0x7F, 5, {30}, {}, -1}, NoteRow{0x49, 0x7F, 5, {31}, {}, -1},
                      NoteRow{0x4A, 0x7F, 5, {22}, {}, -1}, NoteRow{0x4B, 0x7F, 5, {23}, {}, -1},
                      NoteRow{0x4C, 0x7F, 5, {24}, {}, -1}, NoteRow{0x4D, 0x7F, 5, {25}, {}, -1},
                      NoteRow{0x4E, 0x7F, 5, {26}, {}, -1}, NoteRow{0x4F, 0x7F, 5, {27}, {}, -1}));

INSTANTIATE_TEST_SUITE_P(
    LampOff, MixerNoteTable,
    ::testing::Values(NoteRow{0x36, 0, 5, {}, {Key::f1, Key::escape}, -1}, NoteRow{0x37, 0, 5, {}, {Key::f2, Key::escape}, -1},
                      NoteRow{0x38, 0, 5, {}, {Key::f3, Key::escape}, -1}, NoteRow{0x39, 0, 5, {}, {Key::f4, Key::escape}, -1},
                      NoteRow{0x2C, 0, 5, {}, {}, -1}, NoteRow{0x33, 0, 5, {}, {}, -1}));

using MixerNote = testing::SurfaceTest;

TEST_F(MixerNote, NotesOutsideTheTableDoNothing) {
  const std::set<int> mapped{0x28, 0x29, 0x2A, 0x2B, 0x2C, 0x2D, 0x33, 0x36, 0x37, 0x38, 0x39};
  for (int note = 0; note < 256; ++note) {
    const bool strip = note >= 0x08 && note <= 0x0F;
    if (strip || mapped.contains(note) || (note >= 0x46 && note <= 0x4F)) continue;
    handleMixerNote(context, static_cast<std::uint8_t>(note), 0x7F);
  }
  EXPECT_TRUE(desktop.events.empty());
  EXPECT_TRUE(xtouch.sent.empty());
  EXPECT_EQ(mapping.mixerPage, -1);
}

TEST_F(MixerNote, FirstLampOffOfAFunctionPagePressesNoKey) {
  handleMixerNote(context, 0x36, 0x00);
  EXPECT_TRUE(desktop.keys().empty());
  handleMixerNote(context, 0x36, 0x7F);
  handleMixerNote(context, 0x36, 0x00);
  handleMixerNote(context, 0x37, 0x00);  // each note has its own first off
  EXPECT_EQ(desktop.clicks(), entries({42}));
  EXPECT_EQ(desktop.keys(), (std::vector<Key>{Key::f1, Key::f1, Key::escape}));
  EXPECT_EQ(mapping.firstOffPending, (std::array<bool, 4>{false, false, true, true}));
}

}  // namespace
}  // namespace tessevar
