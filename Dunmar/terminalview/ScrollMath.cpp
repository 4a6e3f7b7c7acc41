#include "terminalview/ScrollMath.h"

#include "terminalview/MouseReport.h"

#include <algorithm>
#include <cmath>

namespace scrolling {

WheelDeltas wheelDeltas(QPoint pixelDelta, QPoint angleDelta) {
    WheelDeltas d;
    if (!pixelDelta.isNull()) {
        d.dx = double(pixelDelta.x());
        d.dy = double(pixelDelta.y());
        d.precise = true;
    } else {
        d.dx = double(angleDelta.x()) / 120.0;
        d.dy = double(angleDelta.y()) / 120.0;
    }
    return d;
}

std::optional<int> consume(double& accumulator, double delta, int limit) {
    accumulator += delta;
    const double lines = std::floor(std::abs(accumulator) / kPointsPerLine);
    if (lines < 1) return std::nullopt;
    accumulator = std::fmod(accumulator, kPointsPerLine);
    return int(std::min<double>(lines, limit));
}

double clampOffset(double offset, double cellH, std::size_t scrollbackLines) {
    return std::max(0.0, std::min(offset, cellH * double(scrollbackLines)));
}

std::int64_t scrollbackOffset(double smoothScrollY, double cellH) {
    return std::max<std::int64_t>(0, std::int64_t(smoothScrollY / std::max(cellH, 1.0)));
}

bool isScrolledBack(double smoothScrollY, double cellH) {
    return smoothScrollY > cellH * 0.5;
}

std::optional<MomentumStep> momentumStep(double velocity) {
    if (std::abs(velocity) <= kMomentumStop) return std::nullopt;
    return MomentumStep{velocity, velocity * kMomentumDecay};
}

double addWheelVelocity(double velocity, double dy, double cellH) {
    const double limit = kVelocityLimitRows * cellH;
    return std::clamp(velocity + dy * kWheelGain, -limit, limit);
}

QByteArray wheelReport(int button, std::int64_t x, std::int64_t y, MouseEncoding mouseEncoding) {
    return mousereport::encode(button, x, y, false, mouseEncoding);
}

QByteArray cursorKey(char direction, bool appCursorMode) {
    QByteArray key(appCursorMode ? "\x1bO" : "\x1b[");
    key.append(direction);
    return key;
}

} // namespace scrolling
