#include <gtest/gtest.h>

#include "surface_fixture.h"

namespace tessevar {
namespace {

using enum EditorPoint;

using testing::Bytes;
using testing::Lamps;
using testing::printHex;

struct SurfaceRow {
  Bytes datagram;
  std::vector<EditorPoint> clicks;
  Lamps lamps;
};
void PrintTo(const SurfaceRow& row, std::ostream* os) { printHex(row.datagram, os); }

class SurfaceDatagram : public testing::SurfaceTest, public ::testing::WithParamInterface<SurfaceRow> {};

TEST_P(SurfaceDatagram, ActsOnlyOnPressesOfTheTwoButtons) {
  fromSurface(GetParam().datagram);
  EXPECT_EQ(desktop.clicks(), entries(GetParam().clicks));
  EXPECT_EQ(xtouch.sent, GetParam().lamps);
  EXPECT_EQ(desktop.activations(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Datagrams, SurfaceDatagram,
    ::testing::Values(
        SurfaceRow{{0x90, 0x5A, 0x7F}, {rightRowRight}, {{0x90, 0x5A, 0x7F}, {0x90, 0x59, 0x7F}}},
        SurfaceRow{{0x90, 0x59, 0x7F}, {rightRowLeft}, {{0x90, 0x59, 0x00}, {0x90, 0x5A, 0x00}}},
        // Only the first message of a datagram is read.
        SurfaceRow{{0x90, 0x5A, 0x7F, 0x90, 0x59, 0x7F}, {rightRowRight}, {{0x90, 0x5A, 0x7F}, {0x90, 0x59, 0x7F}}},
        SurfaceRow{{0x90, 0x5A, 0x00}, {}, {}}, SurfaceRow{{0x90, 0x5A, 0x7E}, {}, {}},
        SurfaceRow{{0x90, 0x5A}, {}, {}}, SurfaceRow{{0x80, 0x5A, 0x7F}, {}, {}},
        SurfaceRow{{0x90, 0x58, 0x7F}, {}, {}}, SurfaceRow{{0x90, 0x5B, 0x7F}, {}, {}},
        // Mixer lamp notes mean nothing coming from the surface.
        SurfaceRow{{0x90, 0x28, 0x7F}, {}, {}}, SurfaceRow{{0x90, 0x08, 0x7F}, {}, {}},
        SurfaceRow{{0xB0, 0x10, 0x41}, {}, {}}, SurfaceRow{{0xE0, 0x00, 0x40}, {}, {}}, SurfaceRow{{}, {}, {}}));

struct ShortCut {
  Bytes datagram;
  int lookups;  // 0: skipped before the window lookup; 1: looked up and activated, nothing else
};
void PrintTo(const ShortCut& row, std::ostream* os) { printHex(row.datagram, os); }

class MixerShortCut : public testing::SurfaceTest, public ::testing::WithParamInterface<ShortCut> {};

TEST_P(MixerShortCut, StopsAtTheRightCheck) {
  fromMixer(GetParam().datagram);
  EXPECT_EQ(desktop.lookups, GetParam().lookups);
  EXPECT_EQ(desktop.activations(), GetParam().lookups);
  EXPECT_TRUE(desktop.clicks().empty());
  EXPECT_TRUE(xtouch.sent.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Datagrams, MixerShortCut,
    ::testing::Values(ShortCut{{}, 0}, ShortCut{{0xD0, 0x15}, 0},
                      ShortCut{{0xD0, 0x90, 0x08, 0x7F}, 0},
                      ShortCut{{0xF0, 0x00, 0x00, 0x66, 0x14, 0x00, 0xF7}, 0},
                      ShortCut{{0xF0, 0x00, 0x00, 0x66, 0x14, 0x00, 0xF7, 0x00}, 1},
                      ShortCut{{0x90, 0x28}, 1}, ShortCut{{0x90}, 1}, ShortCut{{0xA0, 0x08, 0x7F}, 1}));

using MixerDatagram = testing::SurfaceTest;

TEST_F(MixerDatagram, ActivatesTheChosenEditorWindowByName) {
  desktop.windows = {{9, "M-AIR-Edit", {0, 0, 1154, 734}}, {3, "X-AIR-Edit", {0, 0, 1154, 734}}};
  fromMixer(Bytes{0x90, 0x28});
  ASSERT_EQ(desktop.events.size(), 1u);
  EXPECT_EQ(desktop.events[0].ownerName, "X-AIR-Edit");
  EXPECT_EQ(desktop.events[0].number, 3);
}

TEST_F(MixerDatagram, DisplayRunHandlesEachWholePairInOrder) {
  fromMixer(Bytes{0xB0, 0x60, 0x06, 0x62, 0x06, 0x72, 0x06, 0x61, 0x5B});  // 0x62, 0x72: no digit
  EXPECT_EQ(desktop.clicks(), entries({strip10, strip12}));
  desktop.events.clear();
  fromMixer(Bytes{0xB0, 0x61, 0x66, 0x60});  // lone last byte ignored
  EXPECT_EQ(desktop.clicks(), entries({strip14}));
  EXPECT_EQ(mapping.displayFirstDigit, 1);
}

TEST_F(MixerDatagram, LampRunTakesHighBitBytesAsData) {
  // 0x90 inside the run is a note number, not a new status byte.
  fromMixer(Bytes{0x90, 0x28, 0x7F, 0x29, 0x00, 0x90, 0x0B, 0x08, 0x7F});
  EXPECT_EQ(desktop.clicks(), entries({topRow3, windowCorner}));
  EXPECT_EQ(xtouch.sent, (Lamps{{0x90, 0x59, 0x7F}}));
  EXPECT_EQ(mapping.stripSoloLamps[0], 0x7F);
}

TEST_F(MixerDatagram, NothingHappensWithoutTheEditorRunning) {
  desktop.windows = {{1, "Finder", {0, 0, 1154, 734}}};
  for (const Bytes& d : {Bytes{0xB0, 0x60, 0x06}, Bytes{0x90, 0x33, 0x7F, 0x36, 0x7F, 0x08, 0x7F},
                         Bytes{0xF0, 0x00, 0x20, 0x66, 0x58, 0x21, 0x00, '2', 0x00, 0xF7}}) {
    fromMixer(d);
  }
  EXPECT_TRUE(desktop.events.empty());
  EXPECT_TRUE(xtouch.sent.empty());
  EXPECT_EQ(mapping.selectedIndex, indexOf(windowCorner));
}

}  // namespace
}  // namespace tessevar
