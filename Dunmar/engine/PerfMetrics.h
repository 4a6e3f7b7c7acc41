#pragma once

#include <cstdint>

// Seconds on a monotonic clock: the time base of the performance counters and of the frame durations
// added to them. Only differences of two readings mean anything.
double perfNow();

// The counters of one terminal view: frames drawn and bytes and calls on the pseudo-terminal since the
// last sample, and the rates of the last sample period. The owner adds to the counters directly; the
// diagnostics overlay calls sample() on its refresh.
struct PerfMetrics {
    std::int64_t drawCount = 0;
    double drawTimeSum = 0;  // seconds
    double lastDrawTime = 0; // seconds, the most recent frame
    std::int64_t readBytes = 0;
    std::int64_t readCount = 0;
    std::int64_t writeBytes = 0;
    std::int64_t writeCount = 0;
    double fps = 0;
    double avgDrawMs = 0;
    std::int64_t readBytesPerSec = 0;
    std::int64_t writeBytesPerSec = 0;
    std::int64_t readsPerSec = 0;
    std::int64_t writesPerSec = 0;
    double lastSampleTime = 0; // perfNow() of the last sample

    PerfMetrics() : PerfMetrics(perfNow()) {}
    // Starts the first sample period at the given time (tests pass their own clock's readings).
    explicit PerfMetrics(double now) : lastSampleTime(now) {}

    // Turns the counters into rates over the time since the last sample and starts a new period.
    // Within 0.01 s of the last sample it does nothing: the counters keep accumulating.
    void sample() { sample(perfNow()); }
    void sample(double now);
};
