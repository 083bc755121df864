#include <tuple>

#include "surface/mapping.h"
#include "surface/surface_model.h"

namespace tessevar {

namespace {

using enum EditorPoint;
using namespace step;

constexpr std::uint8_t soloToggleNote = 0x5A;
constexpr std::uint8_t anySoloNote = 0x59;
constexpr int viewTextPage = 7;

// Values of the letter glyphs; the digits 1..9 stand for themselves.
constexpr int A = 10, r = 11, b = 12, F = 13, L = 14, u = 15;

constexpr Glyph glyphs[] = {
    {0x06, 1}, {0x5B, 2}, {0x4F, 3}, {0x66, 4}, {0x6D, 5}, {0x7D, 6}, {0x07, 7}, {0x7F, 8},
    {0x6F, 9}, {0x77, A}, {0x50, r}, {0x7C, b}, {0x71, F}, {0x38, L}, {0x1C, u},
};

// Other first digits (2..9, u) name no strip: the window's corner.
constexpr DisplayRow display[] = {
    {0, strip1},   // 01..09; 00 and a blank display name the corner
    {1, strip11},  // 10..16
    {A, strip17, true},
    {r, strip18},  // r1..r4
    {b, grid1},    // b1..b6
    {F, column1},  // F1..F4
    {L, rightBlock, true},
};

constexpr LampRule lamps[] = {
    {0x28, {click(topRow3), selectedStrip}},
    {0x29, {setPage(6), click(topRow7), selectedStrip}},
    {0x2A, {click(topRow8), selectedStrip}},
    {0x2B, {setPage(6), click(topRow7), selectedStrip}},
    {0x2C, {setPage(1), click(topRow5), selectedStrip, selectionSide}},
    {0x2D, {setPage(viewTextPage), pageSevenView}},
    {0x33, {setPage(0), click(topRow1), click(rightBlock), click(stripRowEnd), selectedStrip}},
    {0x36, {setPage(2), click(topRow9), press(Key::f1)}, {press(Key::f1), press(Key::escape)}},
    {0x37, {setPage(3), click(topRow9), press(Key::f2)}, {press(Key::f2), press(Key::escape)}},
    {0x38, {setPage(4), click(topRow9), press(Key::f3)}, {press(Key::f3), press(Key::escape)}},
    {0x39, {setPage(5), click(topRow9), press(Key::f4)}, {press(Key::f4), press(Key::escape)}},
    {0x46, {click(column1)}},
    {0x47, {click(column2)}},
    {0x48, {click(column3)}},
    {0x49, {click(column4)}},
    {0x4A, {click(grid1)}},
    {0x4B, {click(grid2)}},
    {0x4C, {click(grid3)}},
    {0x4D, {click(grid4)}},
    {0x4E, {click(grid5)}},
    {0x4F, {click(grid6)}},
};

constexpr ButtonRule buttons[] = {
    {soloToggleNote, {click(rightRowRight), toggleSolo}},
    {anySoloNote, {click(rightRowLeft), clearSolo}},
};

}  // namespace

constexpr SurfaceModel xTouch{
    .stripSoloNotes = {0x08, 8},
    .soloToggleNote = soloToggleNote,
    .anySoloNote = anySoloNote,
    .firstDigitControllers = {0x60, 0x70},
    .secondDigitControllers = {0x61, 0x71},
    .glyphs = glyphs,
    .display = display,
    .lamps = lamps,
    .buttons = buttons,
    .viewTextPage = viewTextPage,
    .views = {{{'1', topRow4}, {'2', topRow6}, {'3', topRow8}}},
};

static_assert(xTouch.stripSoloNotes.count <= std::tuple_size_v<decltype(MappingState::stripSoloLamps)>);

}  // namespace tessevar
