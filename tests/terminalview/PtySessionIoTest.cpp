// Reading, writing, the window size and the remote text of a running shell.
#include "ShellHarness.h"

#include <QCryptographicHash>
#include <QFile>
#include <QRandomGenerator>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <memory>
#include <sys/ioctl.h>
#include <vector>

namespace {
PtyWindowSize sizeOnTerminal(int fd) {
    winsize size{};
    ::ioctl(fd, TIOCGWINSZ, &size);
    return {size.ws_row, size.ws_col, size.ws_xpixel, size.ws_ypixel};
}
} // namespace

TEST_F(PtyTest, AFloodOfOutputLeavesTheEventLoopRunningAndControlCStopsIt) {
    ShellHarness harness(settings());
    ASSERT_TRUE(harness.start("/bin/bash"));
    ASSERT_EQ(harness.run("echo ready"), "ready\n");
    // Parsing makes the program slower than `yes`, so the descriptor is never empty.
    harness.costPerPieceMicroseconds = 1000;

    // The reader gives the event loop back between pieces: a timer keeps firing while output goes
    // on arriving, however fast or loaded the machine is. A reader that kept the thread until the
    // output stopped would starve it (and `yes` never stops).
    quint64 readAtTick = 0;
    int ticksBetweenReads = 0;
    QTimer ticker;
    ticker.setInterval(10);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        const quint64 now = harness.session.counters().readBytes;
        if (now > readAtTick) ++ticksBetweenReads;
        readAtTick = now;
    });

    const quint64 readBefore = harness.session.counters().readBytes;
    harness.session.write(QString("yes\r"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return harness.session.counters().readBytes > readBefore + (1 << 20); },
                                20000));
    readAtTick = harness.session.counters().readBytes;
    ticker.start();
    EXPECT_TRUE(QTest::qWaitFor([&] { return ticksBetweenReads >= 50; }, 60000))
        << ticksBetweenReads << " timer ticks during the flood";
    ticker.stop();

    harness.session.write(QByteArrayView("\x03", 1));
    harness.costPerPieceMicroseconds = 0;
    EXPECT_EQ(harness.run("echo stopped"), "stopped\n");
}

TEST_F(PtyTest, FloodingPanesShareOneReadBudgetWithThePaneInSightFirst) {
    // Three panes flooding at once, each piece costing more than a whole turn's budget: with a
    // budget per pane every turn read all three (three budgets); with one budget a turn reads the
    // pane in sight and one other, in turn.
    std::vector<std::unique_ptr<ShellHarness>> panes;
    for (int i = 0; i < 3; ++i) {
        panes.push_back(std::make_unique<ShellHarness>(settings()));
        ASSERT_TRUE(panes.back()->start("/bin/bash"));
        ASSERT_EQ(panes.back()->run("echo ready"), "ready\n");
    }
    ShellHarness& inSight = *panes[2];
    inSight.session.readPriority = [] { return 1; };
    std::vector<int> order; // which pane each piece came from
    for (int i = 0; i < 3; ++i) {
        panes[std::size_t(i)]->costPerPieceMicroseconds = 20000;
        auto previous = panes[std::size_t(i)]->session.onOutput;
        panes[std::size_t(i)]->session.onOutput = [&order, i, previous](QByteArrayView piece) {
            order.push_back(i);
            previous(piece);
        };
    }
    for (auto& pane : panes) pane->session.write(QString("yes\r"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return order.size() >= 60; }, 30000));
    const std::vector<int> first(order.begin() + 10, order.begin() + 60); // past the start
    const auto count = [&](int pane) { return std::count(first.begin(), first.end(), pane); };
    EXPECT_GE(count(2), 23) << "the pane in sight was not served first in every turn";
    EXPECT_GE(count(0), 8) << "a pane out of sight starved";
    EXPECT_GE(count(1), 8) << "a pane out of sight starved";

    for (auto& pane : panes) {
        pane->session.write(QByteArrayView("\x03", 1));
        pane->costPerPieceMicroseconds = 0;
    }
    for (auto& pane : panes) EXPECT_EQ(pane->run("echo stopped"), "stopped\n");
}

TEST_F(PtyTest, ALargeWriteArrivesWholeAndInOrder) {
    ShellHarness harness(settings());
    ASSERT_TRUE(harness.start("/bin/bash"));
    const qint64 from = harness.mark();
    harness.session.write(QString("stty raw -echo -iexten; echo raw$((6*7)); head -c 1048576 | md5sum\r"));
    ASSERT_TRUE(harness.waitFor("raw42", from));

    QByteArray payload(1 << 20, Qt::Uninitialized);
    QRandomGenerator generator(7);
    generator.fillRange(reinterpret_cast<quint32*>(payload.data()), payload.size() / 4);
    const QByteArray expected = QCryptographicHash::hash(payload, QCryptographicHash::Md5).toHex();

    const PtyCounters before = harness.session.counters();
    harness.session.write(QByteArrayView(payload));
    // The terminal takes a few kilobytes at a time; the rest waits without blocking this thread.
    EXPECT_GT(harness.session.pendingInputBytes(), 0);
    EXPECT_EQ(harness.session.counters().writeBytes - before.writeBytes, quint64(payload.size()));
    EXPECT_EQ(harness.session.counters().writeCount - before.writeCount, 1u);
    EXPECT_TRUE(harness.waitFor(expected, from)) << harness.outputSince(from).right(200).constData();
    EXPECT_EQ(harness.session.pendingInputBytes(), 0);
}

TEST_F(PtyTest, WritesCountEvenWhenEmptyAndTextWithBrokenSurrogatesIsNotSent) {
    ShellHarness harness(settings());
    harness.session.write(QByteArrayView("x", 1));
    EXPECT_EQ(harness.session.counters().writeCount, 0u) << "no shell, nothing written or counted";
    EXPECT_FALSE(harness.session.hasUserInput());

    ASSERT_TRUE(harness.start("/bin/sh"));
    harness.session.write(QByteArrayView());
    EXPECT_EQ(harness.session.counters().writeCount, 1u);
    EXPECT_EQ(harness.session.counters().writeBytes, 0u);
    EXPECT_TRUE(harness.session.hasUserInput());

    harness.session.write(QString("echo bad") + QChar(0xD800) + QString("\r"));
    EXPECT_EQ(harness.session.counters().writeCount, 1u);
    EXPECT_EQ(harness.run(QString("echo 'caf") + QChar(0xE9) + "'"), "caf\xC3\xA9\n");
}

TEST_F(PtyTest, TheFirstResizeIsReportedAtOnceAndABurstLaterOnlyOnce) {
    ShellHarness harness(settings());
    harness.session.setWindowSize(20, 70, 600, 400); // before the start: the initial size
    ASSERT_TRUE(harness.start("/bin/bash"));
    EXPECT_EQ(harness.run("stty size"), "20 70\n");

    const qint64 from = harness.mark();
    // The program ends once a file appears: a signal that came before the file runs its trap before
    // the loop sees the file.
    const QString stop = home.filePath("stop-sizes");
    harness.session.write(QString("sh -c 'trap \"echo winch; stty size\" WINCH; echo ready$((6*7)); "
                                  "until [ -e \"%1\" ]; do sleep 0.05 & wait; done; echo ended$((6*7))'\r")
                              .arg(stop));
    ASSERT_TRUE(harness.waitFor("ready42", from));

    const int fd = harness.session.masterFd();
    harness.session.setWindowSize(30, 100, 800, 600);
    EXPECT_EQ(sizeOnTerminal(fd), (PtyWindowSize{30, 100, 800, 600})) << "the first resize is not delayed";
    EXPECT_TRUE(harness.waitFor("winch\r\n30 100", from));

    const qint64 burst = harness.mark();
    for (int i = 1; i <= 5; ++i) harness.session.setWindowSize(30 + i, 100 + i, 800 + i, 600 + i);
    EXPECT_EQ(sizeOnTerminal(fd), (PtyWindowSize{30, 100, 800, 600})) << "later resizes wait";
    EXPECT_TRUE(harness.waitFor("winch\r\n35 105", burst));
    EXPECT_EQ(sizeOnTerminal(fd), (PtyWindowSize{35, 105, 805, 605}));
    // A second size, had one been due, has reached the program by now.
    ASSERT_TRUE(testsupport::waitForTimerStartedBefore(PtySession::kWindowSizeDebounceMs));
    ASSERT_TRUE(QFile(stop).open(QIODevice::WriteOnly));
    EXPECT_TRUE(harness.waitFor("ended42", burst));
    EXPECT_EQ(harness.outputSince(burst).count("winch"), 1) << harness.outputSince(burst).constData();

    // Out-of-range values are clamped to the 16-bit fields.
    harness.session.setWindowSize(70000, -3, 65536, 12);
    EXPECT_EQ(harness.session.windowSize(), (PtyWindowSize{65535, 0, 65535, 12}));
}

TEST_F(PtyTest, TheRemoteTextGetsACharacterSplitAcrossTwoReadsWhole) {
    ShellHarness harness(settings());
    ASSERT_TRUE(harness.start("/bin/sh"));
    ASSERT_EQ(harness.run("echo ready"), "ready\n");
    harness.remoteText.clear();
    const int piecesBefore = int(harness.pieces.size());
    // The euro sign is E2 82 AC; the pause makes the first two bytes a piece of their own.
    harness.session.write(QString("printf 'x\\342\\202'; sleep 0.3; printf '\\254y\\n'\r"));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return harness.remoteText.contains(QString("x") + QChar(0x20AC) + "y"); }, 20000))
        << harness.remoteText.toStdString();
    EXPECT_FALSE(harness.remoteText.contains(QChar(0xFFFD)));
    bool sawSplit = false;
    for (int i = piecesBefore; i < harness.pieces.size(); ++i)
        sawSplit = sawSplit || harness.pieces[i].endsWith("x\xE2\x82");
    EXPECT_TRUE(sawSplit) << "the character should have arrived in two reads";
}
