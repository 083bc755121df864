#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// Every byte format exchanged with the X-Touch and the mixer: MIDI bytes, one
// message per UDP datagram, byte 0 the status byte.
namespace tessevar::wire {

// Status bytes.
inline constexpr std::uint8_t noteOn = 0x90;
inline constexpr std::uint8_t controlChange = 0xB0;
inline constexpr std::uint8_t channelPressure = 0xD0;
inline constexpr std::uint8_t systemExclusive = 0xF0;

// Lamp values and button velocities.
inline constexpr std::uint8_t lit = 0x7F;
inline constexpr std::uint8_t dark = 0x00;
inline constexpr std::uint8_t pressed = 0x7F;

// Surface buttons with a meaning of our own; their lamps are ours too.
inline constexpr std::uint8_t soloToggleNote = 0x5A;
inline constexpr std::uint8_t anySoloNote = 0x59;

// Mixer lamp notes.
inline constexpr std::uint8_t firstStripSoloNote = 0x08;  // 0x08..0x0F, one per strip
inline constexpr std::uint8_t stripCount = 8;
inline constexpr std::uint8_t firstFunctionPageNote = 0x36;  // 0x36..0x39: F1..F4 pages
inline constexpr std::uint8_t functionPageCount = 4;

// Display run controllers for the two seven-segment digits.
inline constexpr std::uint8_t firstDigitController = 0x60;
inline constexpr std::uint8_t firstDigitControllerAlt = 0x70;
inline constexpr std::uint8_t secondDigitController = 0x61;
inline constexpr std::uint8_t secondDigitControllerAlt = 0x71;

// The device query, which the mixer repeats and we ignore.
inline constexpr std::array<std::uint8_t, 7> deviceQuery{0xF0, 0x00, 0x00, 0x66, 0x14, 0x00, 0xF7};

// View text: F0 b1 b2 66 58 21 b6 digit ... (at least 10 bytes).
inline constexpr std::uint8_t sysExMakerByte = 0x66;     // byte 3
inline constexpr std::uint8_t sysExTextCommand = 0x58;   // byte 4
inline constexpr std::uint8_t sysExTextLine = 0x21;      // byte 5
inline constexpr std::size_t sysExViewDigitIndex = 7;
inline constexpr std::size_t sysExViewMinLength = 10;

// The program's only own message: 90 note value.
inline constexpr std::array<std::uint8_t, 3> lampMessage(std::uint8_t note, std::uint8_t value) {
  return {noteOn, note, value};
}

}  // namespace tessevar::wire
