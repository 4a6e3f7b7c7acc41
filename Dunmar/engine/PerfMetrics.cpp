#include "engine/PerfMetrics.h"

#include <chrono>

double perfNow() {
    using Seconds = std::chrono::duration<double>;
    return std::chrono::duration_cast<Seconds>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

void PerfMetrics::sample(double now) {
    const double dt = now - lastSampleTime;
    if (!(dt > 0.01)) return;
    auto perSecond = [dt](std::int64_t count) { return static_cast<std::int64_t>(double(count) / dt); };
    fps = double(drawCount) / dt;
    avgDrawMs = drawCount >= 1 ? drawTimeSum / double(drawCount) * 1000.0 : 0.0;
    readBytesPerSec = perSecond(readBytes);
    writeBytesPerSec = perSecond(writeBytes);
    readsPerSec = perSecond(readCount);
    writesPerSec = perSecond(writeCount);
    drawCount = 0;
    drawTimeSum = 0;
    readBytes = 0;
    readCount = 0;
    writeBytes = 0;
    writeCount = 0;
    lastSampleTime = now;
}
