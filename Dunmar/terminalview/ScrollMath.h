#pragma once

// The arithmetic of wheel and trackpad scrolling: turning deltas into lines, the momentum of plain
// wheels, the limits of the scroll offset, and the bytes a wheel sends to the program in the
// terminal. Kept apart from the view so that each rule can be checked on its own.

#include "engine/TerminalModes.h"

#include <QByteArray>
#include <QPoint>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace scrolling {

constexpr double kPointsPerLine = 3.0; // delta that makes one line, column, key or report
constexpr int kMaxLinesPerEvent = 10;
constexpr int kMaxColsPerEvent = 20;
constexpr double kTrackpadGain = 1.8;
constexpr double kWheelGain = 4.0;
constexpr double kVelocityLimitRows = 20.0; // times the cell height
constexpr int kMomentumTickMs = 16;         // about 1/60 s
constexpr double kMomentumDecay = 0.92;
constexpr double kMomentumStop = 0.3;

// The deltas of one event: dy positive towards older lines (up); dx positive sends the right key.
// `precise` deltas come from devices that report pixels (trackpads); the others count wheel
// notches (a notch is 1.0).
struct WheelDeltas {
    double dx = 0;
    double dy = 0;
    bool precise = false;
};
// Pixel deltas when the event has them, else the angle in notches (120 eighths of a degree each).
WheelDeltas wheelDeltas(QPoint pixelDelta, QPoint angleDelta);

// The delta the line-based routes (wheel reports, cursor keys) accumulate: points as they are, a
// notch as one line's worth.
inline double lineDelta(double delta, bool precise) {
    return precise ? delta : delta * kPointsPerLine;
}

// Adds delta to the accumulator and takes whole lines out of it: none while less than one line has
// gathered (the accumulator keeps the sum); otherwise the count, at most `limit` (the excess is
// dropped, not carried), and the accumulator keeps the remainder with its sign.
std::optional<int> consume(double& accumulator, double delta, int limit);

// The scroll offset limited to the scrollback: 0 ... cellH x lines.
double clampOffset(double offset, double cellH, std::size_t scrollbackLines);

// Whole rows scrolled back.
std::int64_t scrollbackOffset(double smoothScrollY, double cellH);

// Whether the view shows history. An offset of half a row or less draws the live screen: a plain
// wheel's momentum often stops a few points from zero, and such a sliver of a row is not worth
// hiding the cursor and shifting the whole grid for.
bool isScrolledBack(double smoothScrollY, double cellH);

// One step of a plain wheel's momentum: the distance to move now and the velocity after the tick,
// or nothing when the velocity is spent (|v| <= kMomentumStop).
struct MomentumStep {
    double move = 0;
    double velocity = 0;
};
std::optional<MomentumStep> momentumStep(double velocity);
// The velocity after a plain wheel event: added, then limited to +-20 rows a tick.
double addWheelVelocity(double velocity, double dy, double cellH);

// A wheel report for button 64 (up), 65 (down), 66 (left) or 67 (right) at a 1-based cell, in the
// program's encoding (mousereport::encode).
QByteArray wheelReport(int button, std::int64_t x, std::int64_t y, MouseEncoding mouseEncoding);

// A cursor key: 'A' up, 'B' down, 'C' right, 'D' left; SS3 form in application cursor mode.
QByteArray cursorKey(char direction, bool appCursorMode);

} // namespace scrolling
