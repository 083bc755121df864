#include "show.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <optional>
#include <stdexcept>

namespace tessevar::sim {
namespace {

// Seconds of a real show.
constexpr double keepAlivePeriod = 2.0;
constexpr double deviceQueryPeriod = 6.0;
constexpr double meterPeriod = 0.1;
constexpr double faderMovePeriod = 1.5;
constexpr double faderStepGap = 0.02;
constexpr int faderSteps = 12;
constexpr int faderCount = 9;  // eight strips and the main fader: E0..E8
constexpr double buttonPeriod = 3.0;
constexpr double releaseAfter = 0.15;
constexpr double scenePeriod = 2.0;

const Bytes deviceQuery{0xF0, 0x00, 0x00, 0x66, 0x14, 0x00, 0xF7};

constexpr std::uint8_t noteOn = 0x90;
constexpr std::uint8_t lit = 0x7F;
constexpr std::uint8_t dark = 0x00;
constexpr std::uint8_t soloToggle = 0x5A;
constexpr std::uint8_t anySolo = 0x59;
constexpr std::uint8_t firstSelectLamp = 0x18;
constexpr std::uint8_t firstStripSolo = 0x08;
constexpr std::uint8_t pageSeven = 0x2D;

// Ordinary buttons: mute, select, record and a few transport keys.
const std::vector<std::uint8_t>& ordinaryButtons() {
  static const std::vector<std::uint8_t> notes = [] {
    std::vector<std::uint8_t> n;
    for (std::uint8_t note = 0x00; note <= 0x1F; ++note) n.push_back(note);
    for (std::uint8_t note = 0x2E; note <= 0x32; ++note) n.push_back(note);
    return n;
  }();
  return notes;
}

// Page lamps in the order the scenes light them; F1..F4 pages (36..39)
// make the program press keys, page 7 (2D) lets the view texts act.
constexpr std::array<std::uint8_t, 11> pageLamps{0x33, 0x2C, 0x36, 0x37, 0x38, 0x39, 0x29, 0x2A, 0x2B, 0x28, pageSeven};

std::uint8_t segments(char glyph) {
  switch (glyph) {
    case '0': return 0x3F;
    case '1': return 0x06;
    case '2': return 0x5B;
    case '3': return 0x4F;
    case '4': return 0x66;
    case '5': return 0x6D;
    case '6': return 0x7D;
    case '7': return 0x07;
    case '8': return 0x7F;
    case '9': return 0x6F;
    case 'A': return 0x77;
    case 'r': return 0x50;
    case 'b': return 0x7C;
    case 'F': return 0x71;
    case 'L': return 0x38;
    case ' ': return 0x00;
    default: throw std::invalid_argument("no seven-segment glyph for this character");
  }
}

// F0 00 00 66 58 20+strip colour, 14 characters, F7.
Bytes scribbleStrip(int strip, std::uint8_t colour, std::string text) {
  text.resize(14, ' ');
  Bytes bytes(22, 0xF7);
  const std::uint8_t head[] = {0xF0, 0x00, 0x00, 0x66, 0x58, static_cast<std::uint8_t>(0x20 + strip), colour};
  std::copy(std::begin(head), std::end(head), bytes.begin());
  std::copy(text.begin(), text.end(), bytes.begin() + 7);
  return bytes;
}

// A name that starts with a letter, so strip 1's text never picks a view.
std::string channelName(const std::string& display) {
  switch (display[0]) {
    case 'A': return "Aux In";
    case 'r': return std::string("FX Return ") + display[1];
    case 'b': return std::string("Bus ") + display[1];
    case 'F': return std::string("FX Send ") + display[1];
    case 'L': return "Main LR";
    default: return "Ch " + display;
  }
}

// Built a byte at a time: GCC 12 at -O3 sees out-of-bounds copies in
// initializer-list inserts here that are not there.
Bytes lampRun(std::optional<std::uint8_t> off, std::uint8_t on) {
  Bytes bytes;
  bytes.reserve(5);
  bytes.push_back(noteOn);
  if (off) {
    bytes.push_back(*off);
    bytes.push_back(dark);
  }
  bytes.push_back(on);
  bytes.push_back(lit);
  return bytes;
}

Cue mixerCue(Bytes bytes) { return {Side::mixer, std::move(bytes), false}; }
Cue surfaceCue(Bytes bytes) { return {Side::surface, std::move(bytes), false}; }

using Step = std::vector<std::pair<double, Cue>>;

Step channelStep(std::size_t index, std::optional<std::uint8_t>& selectLamp) {
  const std::string& text = displayTexts()[index];
  const int strip = static_cast<int>(index % 8);
  const auto lamp = static_cast<std::uint8_t>(firstSelectLamp + strip);
  Step step{{0.0, mixerCue(displayRun(text, index % 2 == 1))},
            {0.01, mixerCue(lampRun(selectLamp, lamp))},
            {0.02, mixerCue(scribbleStrip(strip, static_cast<std::uint8_t>(1 + index % 7), channelName(text)))}};
  selectLamp = lamp;
  return step;
}

Step pageStep(std::uint8_t page, std::optional<std::uint8_t>& pageLamp) {
  Step step{{0.0, mixerCue(lampRun(pageLamp, page))}};
  pageLamp = page;
  if (page == pageSeven) {
    // The three views of page 7, named by the first character of strip 1's text.
    const char* views[] = {"1 Input", "2 Dynamics", "3 Effects"};
    for (int v = 0; v < 3; ++v) step.push_back({0.5 * (v + 1), mixerCue(scribbleStrip(1, 0x07, views[v]))});
  }
  return step;
}

Step surfacePressStep(std::uint8_t note) {
  return {{0.0, surfaceCue({noteOn, note, lit})}, {releaseAfter, surfaceCue({noteOn, note, dark})}};
}

// Strip solo lamps, which also make the program refresh its "any solo" lamp.
Step soloStep(std::size_t round) {
  const auto on = static_cast<std::uint8_t>(firstStripSolo + round % 8);
  const auto off = static_cast<std::uint8_t>(firstStripSolo + (round + 3) % 8);
  return {{0.0, mixerCue({noteOn, on, lit, off, dark})}};
}

}  // namespace

const std::vector<std::string>& displayTexts() {
  static const std::vector<std::string> texts = [] {
    std::vector<std::string> t;
    for (int n = 1; n <= 16; ++n) {
      char two[3];
      std::snprintf(two, sizeof two, "%02d", n);
      t.emplace_back(two);
    }
    t.push_back("A ");
    for (char n = '1'; n <= '4'; ++n) t.push_back(std::string("r") + n);
    for (char n = '1'; n <= '6'; ++n) t.push_back(std::string("b") + n);
    for (char n = '1'; n <= '4'; ++n) t.push_back(std::string("F") + n);
    t.push_back("L ");
    return t;
  }();
  return texts;
}

Bytes displayRun(const std::string& text, bool alternate) {
  const std::uint8_t first = alternate ? 0x70 : 0x60;
  const std::uint8_t second = alternate ? 0x71 : 0x61;
  return {0xB0, first, segments(text.at(0)), second, segments(text.at(1))};
}

void stampSequence(Bytes& bytes, std::uint64_t sequence) {
  if (bytes.size() == 9 && bytes[0] == 0xD0) {
    for (std::size_t strip = 0; strip < 8; ++strip) {
      const auto level = static_cast<std::uint8_t>((sequence >> (4 * strip)) & 0x0F);
      bytes[1 + strip] = static_cast<std::uint8_t>(strip << 4 | level);
    }
  } else if (bytes.size() == 3 && (bytes[0] & 0xF0) == 0xE0) {
    bytes[1] = static_cast<std::uint8_t>(sequence & 0x7F);
    bytes[2] = static_cast<std::uint8_t>((sequence >> 7) & 0x7F);
  }
}

std::vector<std::vector<std::pair<double, Cue>>> sceneScript() {
  std::vector<Step> script;
  std::optional<std::uint8_t> selectLamp;
  std::optional<std::uint8_t> pageLamp;
  std::size_t pages = 0;
  std::size_t presses = 0;
  const std::uint8_t pressOrder[] = {soloToggle, soloToggle, anySolo};
  for (std::size_t i = 0; i < displayTexts().size(); ++i) {
    script.push_back(channelStep(i, selectLamp));
    if (i % 3 == 1) script.push_back(pageStep(pageLamps[pages++ % pageLamps.size()], pageLamp));
    if (i % 4 == 3) script.push_back(surfacePressStep(pressOrder[presses++ % 3]));
    if (i % 8 == 7) script.push_back(soloStep(i / 8));
  }
  return script;
}

Show::Show(double rate) : rate_(rate), script_(sceneScript()) {
  if (!(rate > 0)) throw std::invalid_argument("the rate must be above 0");
  schedule(0.0, Source::keepAlive);
  schedule(0.05, Source::deviceQuery);
  schedule(0.1, Source::meters);
  schedule(0.3, Source::faderMove);
  schedule(0.7, Source::button);
  schedule(1.0, Source::scene);
}

void Show::schedule(double at, Source source) {
  timeline_.emplace(at, Entry{.isCue = false, .cue = {}, .source = source});
}

void Show::schedule(double at, Cue cue) { timeline_.emplace(at, Entry{.isCue = true, .cue = std::move(cue)}); }

std::vector<Cue> Show::due(Duration elapsed) {
  const double now = std::chrono::duration<double>(elapsed).count() * rate_;
  std::vector<Cue> cues;
  while (!timeline_.empty() && timeline_.begin()->first <= now) {
    auto node = timeline_.extract(timeline_.begin());
    if (node.mapped().isCue) {
      cues.push_back(std::move(node.mapped().cue));
    } else {
      fire(node.key(), node.mapped().source);
    }
  }
  return cues;
}

Show::Duration Show::nextDue() const {
  const double at = timeline_.empty() ? 0.0 : timeline_.begin()->first / rate_;
  return std::chrono::duration_cast<Duration>(std::chrono::duration<double>(at));
}

void Show::fire(double at, Source source) {
  switch (source) {
    case Source::keepAlive:
      schedule(at, surfaceCue(keepAlive));
      schedule(at + keepAlivePeriod, source);
      break;
    case Source::deviceQuery:
      schedule(at, mixerCue(deviceQuery));
      schedule(at + deviceQueryPeriod, source);
      break;
    case Source::meters:
      schedule(at, Cue{Side::mixer, {0xD0, 0, 0, 0, 0, 0, 0, 0, 0}, true});
      schedule(at + meterPeriod, source);
      break;
    case Source::faderMove: {
      const auto status = static_cast<std::uint8_t>(0xE0 + nextFader_++ % faderCount);
      for (int s = 0; s < faderSteps; ++s) schedule(at + s * faderStepGap, Cue{Side::surface, {status, 0, 0}, true});
      schedule(at + faderMovePeriod, source);
      break;
    }
    case Source::button: {
      const std::uint8_t note = ordinaryButtons()[nextButton_++ % ordinaryButtons().size()];
      for (const auto& [offset, cue] : surfacePressStep(note)) schedule(at + offset, cue);
      schedule(at + buttonPeriod, source);
      break;
    }
    case Source::scene:
      fireScene(at);
      schedule(at + scenePeriod, source);
      break;
  }
}

void Show::fireScene(double at) {
  for (const auto& [offset, cue] : script_[nextStep_++ % script_.size()]) schedule(at + offset, cue);
}

}  // namespace tessevar::sim
