#include <gtest/gtest.h>

#include "surface_fixture.h"

namespace tessevar {
namespace {

using enum EditorPoint;

using ButtonMapping = testing::SurfaceTest;
using testing::Bytes;
using testing::Lamps;

const Bytes soloTogglePress{0x90, 0x5A, 0x7F};
const Bytes clearSoloPress{0x90, 0x59, 0x7F};

TEST_F(ButtonMapping, SoloTogglePressedTwiceLightsThenClearsBothLamps) {
  fromSurface(soloTogglePress);
  fromSurface(soloTogglePress);
  EXPECT_EQ(xtouch.sent, (Lamps{lamp(0x5A, 0x7F), lamp(0x59, 0x7F), lamp(0x5A, 0x00), lamp(0x59, 0x00)}));
  EXPECT_EQ(desktop.clicks(), entries({rightRowRight, rightRowRight}));
  EXPECT_EQ(mapping.soloToggle, 0);
}

TEST_F(ButtonMapping, EveryStripSoloLampCountsForTheAnySoloLamp) {
  for (std::uint8_t note = 0x08; note <= 0x0F; ++note) {
    fromMixer({0x90, note, 0x7F, note, 0x00});
    EXPECT_EQ(xtouch.sent, (Lamps{lamp(0x59, 0x7F), lamp(0x59, 0x00)})) << int{note};
    xtouch.sent.clear();
  }
  EXPECT_TRUE(desktop.clicks().empty());
}

TEST_F(ButtonMapping, AnySoloLampIsSentEveryTimeAndStaysLitWhileAStripSoloIsLit) {
  fromMixer({0x90, 0x0C, 0x00, 0x08, 0x7F});
  fromSurface(soloTogglePress);
  fromSurface(soloTogglePress);
  EXPECT_EQ(xtouch.sent, (Lamps{lamp(0x59, 0x00), lamp(0x59, 0x7F), lamp(0x5A, 0x7F), lamp(0x59, 0x7F),
                                lamp(0x5A, 0x00), lamp(0x59, 0x7F)}));
}

TEST_F(ButtonMapping, ClearSoloDarkensBothLampsButKeepsStripLamps) {
  fromMixer({0x90, 0x0B, 0x7F});
  fromSurface(soloTogglePress);
  xtouch.sent.clear();
  fromSurface(clearSoloPress);
  EXPECT_EQ(xtouch.sent, (Lamps{lamp(0x59, 0x00), lamp(0x5A, 0x00)}));
  EXPECT_EQ(mapping.soloToggle, 0);
  fromMixer({0x90, 0x0D, 0x00});  // strip 0x0B is still remembered as lit
  EXPECT_EQ(xtouch.sent.back(), lamp(0x59, 0x7F));
  EXPECT_EQ(desktop.clicks(), entries({rightRowRight, rightRowLeft}));
}

TEST_F(ButtonMapping, LampsAreSentEvenWithoutAnEditorWindow) {
  desktop.windows.clear();
  fromSurface(soloTogglePress);
  EXPECT_TRUE(desktop.events.empty());
  EXPECT_EQ(xtouch.sent, (Lamps{lamp(0x5A, 0x7F), lamp(0x59, 0x7F)}));
  EXPECT_EQ(mapping.soloToggle, 1);
}

Bytes viewText(std::uint8_t digit) { return {0xF0, 0x00, 0x20, 0x66, 0x58, 0x21, 0x00, digit, 0x20, 0xF7}; }

TEST_F(ButtonMapping, PageSevenRemembersItsView) {
  fromMixer({0x90, 0x29, 0x7F});
  fromMixer(viewText('2'));  // page 6: ignored
  fromMixer({0x90, 0x2D, 0x7F});
  fromMixer(viewText('2'));
  fromMixer({0x90, 0x2C, 0x7F, 0x2D, 0x7F});
  fromMixer(viewText('3'));
  fromMixer(viewText('1'));
  EXPECT_EQ(desktop.clicks(), entries({topRow7, windowCorner, topRow4, topRow6, topRow5, windowCorner, rightBlock,
                                       topRow6, topRow8, topRow4}));
}

TEST_F(ButtonMapping, ViewTextNeedsTenBytesItsMakerAndCommandTheTextLineAndADigit) {
  mapping.mixerPage = 7;
  Bytes shortText = viewText('2');
  shortText.pop_back();
  Bytes otherLine = viewText('2');
  otherLine[5] = 0x22;
  const Bytes otherCommand{0xF0, 0x00, 0x20, 0x66, 0x14, 0x21, 0x00, '3', 0x00, 0xF7};
  for (const Bytes& ignored : {shortText, otherLine, viewText('4'), viewText('0'), otherCommand}) fromMixer(ignored);
  EXPECT_TRUE(desktop.clicks().empty());
  fromMixer(viewText('3'));
  fromMixer(Bytes{0xF0, 0x00, 0x20, 0x66, 0x58, 0x21, 0x00, '3', 0x00, 0xF7});  // the byte after the digit is free
  EXPECT_EQ(desktop.clicks(), entries({topRow8, topRow8}));
}

}  // namespace
}  // namespace tessevar
