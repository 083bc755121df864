#include "surface/button_mapping.h"

#include <gtest/gtest.h>

#include "surface_fixture.h"

namespace tessevar {
namespace {

using ButtonMapping = testing::SurfaceTest;
using Lamps = std::vector<std::vector<std::uint8_t>>;

TEST_F(ButtonMapping, SoloTogglePressedTwiceLightsThenClearsBothLamps) {
  handleSurfacePress(context, 0x5A);
  handleSurfacePress(context, 0x5A);
  EXPECT_EQ(xtouch.sent, (Lamps{lamp(0x5A, 0x7F), lamp(0x59, 0x7F), lamp(0x5A, 0x00), lamp(0x59, 0x00)}));
  EXPECT_EQ(desktop.clicks(), entries({50, 50}));
  EXPECT_EQ(mapping.soloToggle, 0);
}

TEST_F(ButtonMapping, AnySoloLampIsSentEveryTimeAndStaysLitWhileAStripSoloIsLit) {
  handleMixerNote(context, 0x0C, 0x00);
  handleMixerNote(context, 0x08, 0x7F);
  handleSurfacePress(context, 0x5A);
  handleSurfacePress(context, 0x5A);
  EXPECT_EQ(xtouch.sent, (Lamps{lamp(0x59, 0x00), lamp(0x59, 0x7F), lamp(0x5A, 0x7F), lamp(0x59, 0x7F),
                                lamp(0x5A, 0x00), lamp(0x59, 0x7F)}));
}

TEST_F(ButtonMapping, ClearSoloDarkensBothLampsButKeepsStripLamps) {
  handleMixerNote(context, 0x0B, 0x7F);
  handleSurfacePress(context, 0x5A);
  xtouch.sent.clear();
  handleSurfacePress(context, 0x59);
  EXPECT_EQ(xtouch.sent, (Lamps{lamp(0x59, 0x00), lamp(0x5A, 0x00)}));
  EXPECT_EQ(mapping.soloToggle, 0);
  handleMixerNote(context, 0x0D, 0x00);  // strip 0x0B is still remembered as lit
  EXPECT_EQ(xtouch.sent.back(), lamp(0x59, 0x7F));
  EXPECT_EQ(desktop.clicks(), entries({50, 49}));
}

TEST_F(ButtonMapping, LampsAreSentEvenWithoutAnEditorWindow) {
  desktop.windows.clear();
  handleSurfacePress(context, 0x5A);
  EXPECT_TRUE(desktop.events.empty());
  EXPECT_EQ(xtouch.sent, (Lamps{lamp(0x5A, 0x7F), lamp(0x59, 0x7F)}));
  EXPECT_EQ(mapping.soloToggle, 1);
}

std::vector<std::uint8_t> viewText(std::uint8_t digit) {
  return {0xF0, 0x00, 0x20, 0x66, 0x58, 0x21, 0x00, digit, 0x20, 0xF7};
}

TEST_F(ButtonMapping, PageSevenRemembersItsView) {
  handleMixerNote(context, 0x29, 0x7F);
  handleMixerSysEx(context, viewText('2'));  // page 6: ignored
  EXPECT_EQ(mapping.pageSevenView, PageSevenView::first);
  handleMixerNote(context, 0x2D, 0x7F);
  handleMixerSysEx(context, viewText('2'));
  handleMixerNote(context, 0x2C, 0x7F);
  handleMixerNote(context, 0x2D, 0x7F);
  handleMixerSysEx(context, viewText('3'));
  EXPECT_EQ(desktop.clicks(), entries({40, 0, 37, 39, 38, 0, 32, 39, 41}));
  EXPECT_EQ(mapping.pageSevenView, PageSevenView::third);
}

TEST_F(ButtonMapping, ViewTextNeedsTenBytesTheTextLineAndADigit) {
  mapping.mixerPage = 7;
  auto shortText = viewText('2');
  shortText.pop_back();
  handleMixerSysEx(context, shortText);
  auto otherLine = viewText('2');
  otherLine[5] = 0x22;
  handleMixerSysEx(context, otherLine);
  handleMixerSysEx(context, viewText('4'));
  EXPECT_TRUE(desktop.events.empty());
  handleMixerSysEx(context, viewText('1'));
  EXPECT_EQ(desktop.clicks(), entries({37}));
}

}  // namespace
}  // namespace tessevar
