#pragma once

// A realistic show between an X-Touch and a mixer, as a timeline of
// datagrams: what each device sends, and when.

#include <chrono>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace tessevar::sim {

using Bytes = std::vector<std::uint8_t>;

// What the X-Touch sends every two seconds to say it is there.
inline const Bytes keepAlive{0xF0, 0x00, 0x20, 0x32, 0x58, 0x54, 0x00, 0xF7};

// Who sends a datagram; the receiver is the other one.
enum class Side { surface, mixer };

inline Side otherSide(Side side) { return side == Side::surface ? Side::mixer : Side::surface; }
inline const char* sideName(Side side) { return side == Side::surface ? "X-Touch" : "mixer"; }

struct Cue {
  Side from = Side::surface;
  Bytes bytes;
  // Carries the sender's sequence number in bytes the program never
  // inspects (meter levels, pitch-bend values): see stampSequence.
  bool stamped = false;
};

// The two-character texts the mixer shows on the channel display while the
// scenes walk through every channel the editor has.
const std::vector<std::string>& displayTexts();

// The display run (B0 c1 p1 c2 p2) that shows `text`; `alternate` uses the
// second controller pair of each digit (70, 71) instead of 60, 61.
Bytes displayRun(const std::string& text, bool alternate);

// Writes `sequence` into a stamped cue. Meters (D0 and one byte per strip,
// strip in the high nibble) carry 32 bits in the level nibbles; pitch bend
// carries the low 14 bits as the fader value.
void stampSequence(Bytes& bytes, std::uint64_t sequence);

// The timeline. Periods are a real show's, divided by `rate`.
class Show {
 public:
  using Duration = std::chrono::nanoseconds;
  explicit Show(double rate);

  // Every cue due at or before `elapsed` since the start, in order.
  std::vector<Cue> due(Duration elapsed);
  // When the next cue falls due.
  Duration nextDue() const;

 private:
  enum class Source { keepAlive, deviceQuery, meters, faderMove, button, scene };
  struct Entry {
    bool isCue = false;
    Cue cue;
    Source source = Source::scene;
  };

  void schedule(double at, Source source);
  void schedule(double at, Cue cue);
  void fire(double at, Source source);
  void fireScene(double at);

  double rate_;
  std::multimap<double, Entry> timeline_;  // show seconds; equal times keep insertion order
  std::vector<std::vector<std::pair<double, Cue>>> script_;
  std::size_t nextStep_ = 0;
  std::size_t nextFader_ = 0;
  std::size_t nextButton_ = 0;
};

// The scripted scenes, one step every two seconds of a real show: each step
// is a few cues with their offsets in seconds.
std::vector<std::vector<std::pair<double, Cue>>> sceneScript();

}  // namespace tessevar::sim
