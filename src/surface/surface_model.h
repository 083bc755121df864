#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "editor/editor_points.h"
#include "platform/desktop.h"

// What a control surface's numbers mean to the mapping: its notes,
// controllers and display glyphs, and the rules that mirror them in the
// editor. One constant per surface model; the mapping code holds none.
namespace tessevar {

struct NoteRange {
  std::uint8_t first;
  std::uint8_t count;
  constexpr bool contains(std::uint8_t note) const { return note >= first && note - first < count; }
};

// One thing a rule does; a rule's steps run in the order written.
struct Step {
  enum class Do : std::uint8_t {
    nothing,             // ends the rule
    click,               // `point`
    clickSelectedStrip,  // the strip the display names
    clickSelectionSide,  // rightBlock while the selection lies on the strip row, else stripRowEnd
    clickPageSevenView,  // the view of page 7 the mixer last named
    press,               // `key`
    setPage,             // mixerPage := `page`
    toggleSolo,          // our solo toggle flips; its lamp, then the any-solo lamp, show it
    clearSolo,           // any-solo lamp, then toggle lamp, dark; toggle off; strip lamps kept
  };
  Do what = Do::nothing;
  EditorPoint point = EditorPoint::windowCorner;
  Key key = Key::f1;
  int page = 0;
};
using Steps = std::array<Step, 5>;

namespace step {
constexpr Step click(EditorPoint point) { return {.what = Step::Do::click, .point = point}; }
constexpr Step press(Key key) { return {.what = Step::Do::press, .key = key}; }
constexpr Step setPage(int page) { return {.what = Step::Do::setPage, .page = page}; }
inline constexpr Step selectedStrip{.what = Step::Do::clickSelectedStrip};
inline constexpr Step selectionSide{.what = Step::Do::clickSelectionSide};
inline constexpr Step pageSevenView{.what = Step::Do::clickPageSevenView};
inline constexpr Step toggleSolo{.what = Step::Do::toggleSolo};
inline constexpr Step clearSolo{.what = Step::Do::clearSolo};
}  // namespace step

// A lamp the mixer sets. The first lamp-off of a note after start is the
// mixer telling its initial state, not a change, so `off` skips it.
struct LampRule {
  std::uint8_t note;
  Steps on;   // any velocity but 0
  Steps off{};  // velocity 0
};

// A surface button pressed (velocity 0x7F); the press still reaches the mixer.
struct ButtonRule {
  std::uint8_t note;
  Steps press;
};

// A seven-segment pattern and the digit value it draws (0 for anything unknown).
struct Glyph {
  std::uint8_t pattern;
  int value;
};

// The strip the two display digits name: `firstStrip` is the one named with
// second digit 1, other second digits count on from it (0 is one before),
// unless the first digit names one strip alone.
struct DisplayRow {
  int firstDigit;
  EditorPoint firstStrip;
  bool alone = false;
};

// The mixer's view text names a view of its view-text page by one character.
struct ViewRow {
  std::uint8_t character;
  EditorPoint point;
};

struct SurfaceModel {
  NoteRange stripSoloNotes;    // the mixer's solo lamps, one per strip
  std::uint8_t soloToggleNote;  // button and lamp of our solo toggle
  std::uint8_t anySoloNote;     // lamp lit while any solo is on
  std::array<std::uint8_t, 2> firstDigitControllers;
  std::array<std::uint8_t, 2> secondDigitControllers;
  std::span<const Glyph> glyphs;
  std::span<const DisplayRow> display;
  std::span<const LampRule> lamps;
  std::span<const ButtonRule> buttons;
  int viewTextPage;  // mixerPage on which view texts count
  std::array<ViewRow, 3> views;  // first, second, third (PageSevenView)
};

extern const SurfaceModel xTouch;

}  // namespace tessevar
