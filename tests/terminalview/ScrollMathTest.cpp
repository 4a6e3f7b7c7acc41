// The arithmetic of wheel scrolling, as tables.
#include "terminalview/ScrollMath.h"

#include <cmath>
#include <gtest/gtest.h>
#include <vector>

using namespace scrolling;

TEST(ScrollMath, DeltasBecomeLinesThreePointsEachAtMostTenPerEvent) {
    struct Case {
        std::vector<double> deltas;
        std::vector<std::optional<int>> lines;
        double remainder;
    };
    const Case cases[] = {
        {{2, 2}, {std::nullopt, 1}, 1},
        {{100}, {10}, 1}, // 33 lines asked, 10 sent, 23 dropped, 1 point kept
        {{-7, 1}, {2, std::nullopt}, 0},
        {{3}, {1}, 0},
        {{-2.5, -0.5}, {std::nullopt, 1}, 0},
        {{0.4, 0.4, 0.4}, {std::nullopt, std::nullopt, std::nullopt}, 1.2},
    };
    for (const Case& c : cases) {
        double accumulator = 0;
        for (std::size_t i = 0; i < c.deltas.size(); ++i)
            EXPECT_EQ(consume(accumulator, c.deltas[i], kMaxLinesPerEvent), c.lines[i]) << "step " << i;
        EXPECT_NEAR(accumulator, c.remainder, 1e-9);
    }
    double columns = 0;
    EXPECT_EQ(consume(columns, -300, kMaxColsPerEvent), 20);
}

TEST(ScrollMath, WheelNotchesCountAsOneLineAndPixelsAsPoints) {
    const WheelDeltas notch = wheelDeltas(QPoint(), QPoint(0, 120));
    EXPECT_DOUBLE_EQ(notch.dy, 1.0);
    EXPECT_FALSE(notch.precise);
    EXPECT_DOUBLE_EQ(lineDelta(notch.dy, notch.precise), 3.0);
    const WheelDeltas fineNotch = wheelDeltas(QPoint(), QPoint(0, -15)); // high-resolution wheel
    EXPECT_DOUBLE_EQ(lineDelta(fineNotch.dy, fineNotch.precise), -0.375);
    const WheelDeltas pixels = wheelDeltas(QPoint(-30, 7), QPoint(-240, 56));
    EXPECT_TRUE(pixels.precise);
    EXPECT_DOUBLE_EQ(pixels.dx, -30);
    EXPECT_DOUBLE_EQ(pixels.dy, 7);
    EXPECT_DOUBLE_EQ(lineDelta(pixels.dy, pixels.precise), 7);
}

TEST(ScrollMath, PlainWheelMomentumDecaysUntilTheVelocityIsSpent) {
    const double cellH = 16;
    double velocity = addWheelVelocity(0, 1, cellH);
    EXPECT_DOUBLE_EQ(velocity, 4);
    const double expected[] = {4, 3.68, 3.3856};
    int ticks = 0;
    double travelled = 0;
    while (const std::optional<MomentumStep> step = momentumStep(velocity)) {
        if (ticks < 3) {
            EXPECT_NEAR(step->move, expected[ticks], 1e-9);
        }
        travelled += step->move;
        velocity = step->velocity;
        ++ticks;
    }
    EXPECT_LE(std::abs(velocity), kMomentumStop);
    EXPECT_EQ(ticks, 32); // 4 x 0.92^32 is the first velocity at or below 0.3
    EXPECT_NEAR(travelled, 4 * (1 - std::pow(0.92, 32)) / 0.08, 1e-6);
    // However hard the wheel spins, a tick moves at most twenty rows.
    EXPECT_DOUBLE_EQ(addWheelVelocity(0, 1000, cellH), 20 * cellH);
    EXPECT_DOUBLE_EQ(addWheelVelocity(0, -1000, cellH), -20 * cellH);
}

TEST(ScrollMath, TheOffsetStaysWithinTheScrollbackAndHalfARowCountsAsLive) {
    EXPECT_DOUBLE_EQ(clampOffset(-5, 16, 10), 0);
    EXPECT_DOUBLE_EQ(clampOffset(500, 16, 10), 160);
    EXPECT_DOUBLE_EQ(clampOffset(33, 16, 10), 33);
    EXPECT_DOUBLE_EQ(clampOffset(33, 16, 0), 0);
    struct Case {
        double offset;
        bool scrolledBack;
        std::int64_t rows;
    };
    for (const Case& c : {Case{0, false, 0}, Case{0.4, false, 0}, Case{0.6, false, 0}, Case{8, false, 0},
                          Case{8.01, true, 0}, Case{16, true, 1}, Case{47.9, true, 2}}) {
        EXPECT_EQ(isScrolledBack(c.offset, 16), c.scrolledBack) << c.offset;
        EXPECT_EQ(scrollbackOffset(c.offset, 16), c.rows) << c.offset;
    }
}

TEST(ScrollMath, WheelReportsAndCursorKeys) {
    EXPECT_EQ(wheelReport(64, 1, 1, MouseEncoding::sgr), QByteArray("\x1b[<64;1;1M"));
    EXPECT_EQ(wheelReport(65, 301, 12, MouseEncoding::sgr), QByteArray("\x1b[<65;301;12M"));
    // The X10 form carries each coordinate in one byte, so column 300 is capped at 223 + 32.
    EXPECT_EQ(wheelReport(64, 301, 1, MouseEncoding::x10), QByteArray("\x1b[M\x60\xff\x21", 6));
    EXPECT_EQ(wheelReport(67, 5, 2, MouseEncoding::utf8), QByteArray("\x1b[M\x63\x25\x22", 6));
    EXPECT_EQ(cursorKey('A', true), QByteArray("\x1bOA"));
    EXPECT_EQ(cursorKey('B', false), QByteArray("\x1b[B"));
    EXPECT_EQ(cursorKey('D', false), QByteArray("\x1b[D"));
}
