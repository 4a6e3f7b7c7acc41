#include "engine/PerfMetrics.h"

#include <gtest/gtest.h>

TEST(PerfMetrics, StartsAtZeroWithTheCurrentTime) {
    const double before = perfNow();
    const PerfMetrics m;
    const double after = perfNow();
    EXPECT_GE(m.lastSampleTime, before);
    EXPECT_LE(m.lastSampleTime, after);
    EXPECT_EQ(m.drawCount, 0);
    EXPECT_EQ(m.readBytes, 0);
    EXPECT_EQ(m.fps, 0);
    EXPECT_EQ(m.readBytesPerSec, 0);
}

TEST(PerfMetrics, RatesOverTheSamplePeriod) {
    PerfMetrics m(100.0);
    m.drawCount = 30;
    m.drawTimeSum = 0.06;
    m.lastDrawTime = 0.004;
    m.readBytes = 1000;
    m.readCount = 4;
    m.writeBytes = 3;
    m.writeCount = 1;
    m.sample(100.5);

    EXPECT_DOUBLE_EQ(m.fps, 60.0);
    EXPECT_DOUBLE_EQ(m.avgDrawMs, 2.0);
    EXPECT_EQ(m.readBytesPerSec, 2000);
    EXPECT_EQ(m.readsPerSec, 8);
    EXPECT_EQ(m.writeBytesPerSec, 6);
    EXPECT_EQ(m.writesPerSec, 2);
    EXPECT_DOUBLE_EQ(m.lastSampleTime, 100.5);
    // The counters start again; the last frame's duration stays.
    EXPECT_EQ(m.drawCount, 0);
    EXPECT_EQ(m.drawTimeSum, 0);
    EXPECT_EQ(m.readBytes, 0);
    EXPECT_EQ(m.readCount, 0);
    EXPECT_EQ(m.writeBytes, 0);
    EXPECT_EQ(m.writeCount, 0);
    EXPECT_DOUBLE_EQ(m.lastDrawTime, 0.004);

    // 3 bytes in 2 s truncate to 1 per second; a period without frames gives 0 fps and 0 ms.
    m.readBytes = 3;
    m.readCount = 1;
    m.sample(102.5);
    EXPECT_EQ(m.readBytesPerSec, 1);
    EXPECT_EQ(m.readsPerSec, 0);
    EXPECT_EQ(m.fps, 0);
    EXPECT_EQ(m.avgDrawMs, 0);
    EXPECT_DOUBLE_EQ(m.lastDrawTime, 0.004);
}

TEST(PerfMetrics, SamplesWithinTenMillisecondsChangeNothing) {
    PerfMetrics m(50.0);
    m.readBytes = 500;
    m.sample(51.0);
    ASSERT_EQ(m.readBytesPerSec, 500);

    m.readBytes = 10;
    m.drawCount = 2;
    m.sample(51.009); // 9 ms later: too soon
    m.sample(50.5);   // a reading from before the last sample
    EXPECT_EQ(m.readBytesPerSec, 500);
    EXPECT_EQ(m.readBytes, 10);
    EXPECT_EQ(m.drawCount, 2);
    EXPECT_DOUBLE_EQ(m.lastSampleTime, 51.0);

    // The counters kept accumulating across the skipped samples.
    m.readBytes += 90;
    m.sample(52.0);
    EXPECT_EQ(m.readBytesPerSec, 100);
    EXPECT_DOUBLE_EQ(m.fps, 2.0);
}
