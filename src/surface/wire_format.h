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

// The device query, which the mixer repeats and we ignore.
inline constexpr std::array<std::uint8_t, 7> deviceQuery{0xF0, 0x00, 0x00, 0x66, 0x14, 0x00, 0xF7};

// View text: F0 b1 b2 66 58 21 b6 digit ... (at least 10 bytes).
inline constexpr std::size_t sysExMakerIndex = 3;
inline constexpr std::uint8_t sysExMakerByte = 0x66;
inline constexpr std::size_t sysExCommandIndex = 4;
inline constexpr std::uint8_t sysExTextCommand = 0x58;
inline constexpr std::size_t sysExLineIndex = 5;
inline constexpr std::uint8_t sysExTextLine = 0x21;
inline constexpr std::size_t sysExViewDigitIndex = 7;
inline constexpr std::size_t sysExViewMinLength = 10;

// The program's only own message: 90 note value.
inline constexpr std::array<std::uint8_t, 3> lampMessage(std::uint8_t note, std::uint8_t value) {
  return {noteOn, note, value};
}

}  // namespace tessevar::wire
