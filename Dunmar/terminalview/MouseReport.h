#pragma once

// The bytes of one mouse report in the encoding the program chose.

#include "engine/TerminalModes.h"

#include <QByteArray>
#include <cstdint>

namespace mousereport {

// Button codes of the reports. No modifier bits are ever added.
inline constexpr int kLeft = 0;
inline constexpr int kMiddle = 1;
inline constexpr int kRight = 2;
inline constexpr int kLegacyRelease = 3;
inline constexpr int kLeftDrag = 32;
inline constexpr int kMotion = 35;
inline constexpr int kWheelUp = 64;
inline constexpr int kWheelDown = 65;
inline constexpr int kWheelLeft = 66;
inline constexpr int kWheelRight = 67;

// The largest 1-based coordinate each encoding can carry: one byte after adding 32, or a two-byte
// UTF-8 character after adding 32.
inline constexpr std::int64_t kLegacyMaxCoordinate = 223;
inline constexpr std::int64_t kUtf8MaxCoordinate = 2015;

// A report of `button` at the 1-based cell (x, y).
// - SGR (1006): "ESC [ < b ; x ; y" and "M", or "m" for a release; nothing is clamped but the button
//   (at least 0).
// - UTF-8 (1005): "ESC [ M" and b + 32, x + 32, y + 32 each written as a UTF-8 character, the
//   coordinates capped at 2015; a release is button 3.
// - anything else (X10): the same three values as single bytes, the coordinates capped at 223.
QByteArray encode(int button, std::int64_t x, std::int64_t y, bool release, MouseEncoding mouseEncoding);

} // namespace mousereport
