// The view's side of the shell session: output reaches the grid, sizes reach the shell, floods do
// not stall the program, and the end or replacement of the shell is handled.
#include "ViewTestSupport.h"
#include "terminalview/ChildReaper.h"
#include "terminalview/ShellList.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTest>
#include <QTimer>

namespace {
class ViewShellTest : public ViewTest, public testing::WithParamInterface<const char*> {};
} // namespace

TEST_P(ViewShellTest, TypedCommandsShowTheirOutputOnTheGrid) {
    auto view = makeView(GetParam());
    ASSERT_TRUE(QTest::qWaitFor([&] { return view->shellReady(); }, 20000));
    ASSERT_TRUE(runAndWait(*view, "echo hi; echo $((6*7))", "42"));
    // The echo of the typed line and the printed word are on separate rows.
    bool found = false;
    for (std::int64_t y = 0; y < view->terminal().rows(); ++y)
        found = found || gridLine(view->terminal(), y) == "hi";
    EXPECT_TRUE(found) << screenText(view->terminal()).toStdString();
    EXPECT_TRUE(view->hasUserInput());
    EXPECT_GT(view->perf.readBytes, 0);
    EXPECT_GT(view->perf.writeCount, 0);
}

INSTANTIATE_TEST_SUITE_P(Shells, ViewShellTest, testing::Values("/bin/bash", "/usr/bin/dash", "/bin/zsh"),
                         [](const testing::TestParamInfo<const char*>& info) {
                             return QFileInfo(info.param).fileName().toStdString();
                         });

TEST_F(ViewTest, ABurstOfResizesReachesTheShellOnceWithTheLastSize) {
    auto view = makeView("/bin/bash", QSize(660, 420));
    view->show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return view->shellReady(); }, 20000));
    // The first size after the start is set at once.
    view->resize(700, 430);
    ASSERT_TRUE(runAndWait(*view, "stty size; echo sized$((6*7))", "sized42"));
    EXPECT_TRUE(
        screenText(view->terminal())
            .contains(QStringLiteral("%1 %2").arg(view->terminal().rows()).arg(view->terminal().cols())));

    // A program that prints the size it is told about on every SIGWINCH, until a file appears:
    // a signal that came before the file runs its trap before the loop sees the file and ends.
    const QString stop = home.filePath("stop-sizes");
    ASSERT_TRUE(runAndWait(
        *view,
        QStringLiteral(R"sh(clear; sh -c 'trap "echo W \$(stty size)" WINCH; echo armed$((6*7)); )sh"
                       R"sh(until [ -e "%1" ]; do sleep 0.02; done; echo ended$((6*7))')sh")
            .arg(stop),
        "armed42"));
    for (int i = 1; i <= 5; ++i) {
        view->resize(700 + 30 * i, 430 + 20 * i); // a shown widget takes its size at once
    }
    const QString expected =
        QStringLiteral("W %1 %2").arg(view->terminal().rows()).arg(view->terminal().cols());
    ASSERT_TRUE(waitForScreen(*view, expected));
    // A second size, had one been due, has reached the program by now.
    ASSERT_TRUE(testsupport::waitForTimerStartedBefore(PtySession::kWindowSizeDebounceMs));
    ASSERT_TRUE(QFile(stop).open(QIODevice::WriteOnly));
    ASSERT_TRUE(waitForScreen(*view, "ended42"));
    EXPECT_EQ(screenText(view->terminal()).count(QStringLiteral("W ")), 1)
        << screenText(view->terminal()).toStdString();
}

TEST_F(ViewTest, AFloodLeavesTheViewResponsiveAndPaintingAndControlCStopsIt) {
    auto view = makeView("/bin/bash", QSize(660, 420));
    view->show();
    ASSERT_TRUE(runAndWait(*view, "echo ready$((6*7))", "ready42"));

    // The flood and the rest of the program take turns: a timer keeps firing between pieces of
    // output, and frames keep being drawn between them, however fast or loaded the machine is. A
    // reader that kept the thread until the output stopped would starve both (and `yes` never
    // stops). How many frames a second is the benchmarks' business.
    std::int64_t readAtTick = 0, drawsAtTick = 0;
    int ticksBetweenReads = 0, framesBetweenReads = 0, piecesPerFrameAbove1 = 0;
    std::int64_t readsAtFrame = 0;
    QTimer ticker;
    ticker.setInterval(10);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        if (view->perf.readBytes > readAtTick) {
            ++ticksBetweenReads;
            if (view->perf.drawCount > drawsAtTick) {
                ++framesBetweenReads;
                // A frame catches up with all the output since the last one, not one per piece.
                if (view->perf.readCount - readsAtFrame > 1) ++piecesPerFrameAbove1;
                readsAtFrame = view->perf.readCount;
            }
        }
        readAtTick = view->perf.readBytes;
        drawsAtTick = view->perf.drawCount;
    });

    const std::int64_t readBefore = view->perf.readBytes;
    view->writePTY(QStringLiteral("yes\r"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return view->perf.readBytes > readBefore + (1 << 20); }, 20000));
    readAtTick = view->perf.readBytes;
    drawsAtTick = view->perf.drawCount;
    readsAtFrame = view->perf.readCount;
    ticker.start();
    EXPECT_TRUE(QTest::qWaitFor([&] { return ticksBetweenReads >= 50 && framesBetweenReads >= 10; }, 60000))
        << ticksBetweenReads << " timer ticks and " << framesBetweenReads << " frames during the flood";
    ticker.stop();
    EXPECT_GT(piecesPerFrameAbove1, 0) << "every frame drew a single piece of output";
    EXPECT_TRUE(screenText(view->terminal()).contains("y\ny")) << "the flood is on screen";

    view->writePTY(QByteArrayView("\x03", 1));
    ASSERT_TRUE(runAndWait(*view, "clear; echo stopped$((6*7))", "stopped42"));
    // The last output is drawn: nothing is left dirty and no frame waits.
    ASSERT_TRUE(QTest::qWaitFor([&] { return !view->isDirty() && !view->isRefreshPending(); }, 20000));
}

TEST_F(ViewTest, ShellExitTurnsReportsAndPasteOffAndCallsTheOwner) {
    auto view = makeView("/bin/bash");
    int exits = 0;
    view->onShellExit = [&] { ++exits; };
    ASSERT_TRUE(runAndWait(
        *view, R"(printf '\033[?1000h\033[?1006h\033[?2004h\033[?2026h'; echo set$((6*7)))", "set42"));
    EXPECT_EQ(view->terminal().mouseTracking(), MouseTracking::clicks);
    EXPECT_TRUE(view->terminal().mode(Mode::bracketedPaste));
    EXPECT_TRUE(view->terminal().mode(Mode::synchronizedOutput));

    view->writePTY(QStringLiteral("exit\r"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return exits == 1; }, 20000));
    EXPECT_EQ(view->terminal().mouseTracking(), MouseTracking::off);
    EXPECT_EQ(view->terminal().mouseEncoding(), MouseEncoding::x10);
    EXPECT_FALSE(view->terminal().mode(Mode::bracketedPaste));
    // A program that died inside synchronized output must not freeze the last screen.
    EXPECT_FALSE(view->terminal().mode(Mode::synchronizedOutput));
    EXPECT_EQ(host.quitRequests, 0);
    EXPECT_EQ(view->masterFd(), -1);
    testsupport::drainEvents();
    EXPECT_EQ(exits, 1);
}

TEST_F(ViewTest, AShellEndingWithNoOwnerListeningAsksTheControllerToQuit) {
    auto view = makeView("/usr/bin/dash");
    ASSERT_TRUE(QTest::qWaitFor([&] { return view->shellReady(); }, 20000));
    view->writePTY(QStringLiteral("exit\r"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return host.quitRequests == 1; }, 20000));

    // Without a controller the pane simply stays.
    viewHost = nullptr;
    auto orphan = makeView("/usr/bin/dash");
    ASSERT_TRUE(QTest::qWaitFor([&] { return orphan->shellReady(); }, 20000));
    orphan->writePTY(QStringLiteral("exit\r"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return orphan->masterFd() == -1; }, 20000));
    testsupport::drainEvents();
    EXPECT_EQ(host.quitRequests, 1);
}

TEST_F(ViewTest, TheOwnerMayCloseThePaneWhenItsShellExits) {
    auto view = makeView("/usr/bin/dash");
    bool closed = false;
    view->onShellExit = [&] {
        view.reset();
        closed = true;
    };
    ASSERT_TRUE(QTest::qWaitFor([&] { return view->shellReady(); }, 20000));
    view->writePTY(QStringLiteral("exit\r"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return closed; }, 20000));
}

TEST_F(ViewTest, SwitchingTheShellResetsTheTerminalAndKeepsTheHistoryFile) {
    auto view = makeView("/bin/bash", QSize(660, 420), "TAB-7");
    int exits = 0;
    view->onShellExit = [&] { ++exits; };
    ASSERT_TRUE(
        runAndWait(*view, R"(seq 1 200; printf '\033[?2004h\033[?1h'; echo filled$((6*7)))", "filled42"));
    EXPECT_GT(view->terminal().scrollback().size(), 100u);
    EXPECT_TRUE(view->terminal().mode(Mode::bracketedPaste));
    view->setSmoothScrollY(view->cellH() * 3);
    view->setSelection(GridPos{0, 0}, GridPos{1, 4});

    const pid_t replaced = view->childPid();
    view->switchShell("/usr/bin/dash");
    EXPECT_EQ(view->currentShell(), "/usr/bin/dash");
    EXPECT_EQ(view->tabId(), "TAB-7");
    EXPECT_EQ(view->terminal().scrollback().size(), 0u);
    EXPECT_FALSE(view->terminal().mode(Mode::bracketedPaste));
    EXPECT_FALSE(view->terminal().mode(Mode::appCursor));
    EXPECT_EQ(view->smoothScrollY(), 0);
    EXPECT_FALSE(view->selectionRange());
    EXPECT_FALSE(screenText(view->terminal()).contains("filled42"));

    ASSERT_TRUE(runAndWait(*view, "echo H=$HISTFILE; echo $((6*7))x", "42x"));
    EXPECT_TRUE(screenText(view->terminal()).contains("H=" + home.path() + "/.local/state/dunmar/history/TAB-7"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !ChildReaper::shared().isWatching(replaced); }, 20000));
    testsupport::drainEvents();
    EXPECT_EQ(exits, 0) << "the replaced shell's end is not an exit of the pane";

    // The footer's shell choices pick from the installed shells by position.
    const QList<ShellEntry>& shells = availableShells();
    ASSERT_GE(shells.size(), 2);
    view->switchToShell2();
    EXPECT_EQ(view->currentShell(), chooseShell(shells[1].path));
    view->switchToShell1();
    EXPECT_EQ(view->currentShell(), chooseShell(shells[0].path));
    if (shells.size() < 3) {
        view->switchToShell3();
        EXPECT_EQ(view->currentShell(), chooseShell(shells[0].path));
    }
}

TEST_F(ViewTest, SynchronizedOutputHoldsTheFrameButNotForEver) {
    auto view = makeView("/bin/bash");
    view->show();
    ASSERT_TRUE(runAndWait(*view, "echo ready$((6*7))", "ready42"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !view->isDirty(); }, 5000));

    // A frame that ends its hold is drawn at once: at the next frame, not when a hold would time
    // out. Timers fire in the order they fall due, however loaded the machine is, so a timer of
    // the time-out's length started now must find the frame drawn.
    ASSERT_TRUE(runAndWait(*view, R"(printf '\033[?2026hFRAME%s\033[?2026l\n' $((6*7)))", "FRAME42"));
    QTimer timeOut;
    timeOut.setSingleShot(true);
    timeOut.setTimerType(Qt::PreciseTimer);
    timeOut.start(TerminalView::kSynchronizedOutputTimeoutMs);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !view->isDirty(); }, 20000));
    EXPECT_TRUE(timeOut.isActive()) << "the finished frame waited for the time-out";
    timeOut.stop();

    // A hold that never ends: nothing is drawn for a while, then the screen is drawn anyway.
    ASSERT_TRUE(runAndWait(*view, R"(printf '\033[?2026hHELD%s\n' $((6*7)))", "HELD42"));
    QElapsedTimer clock;
    clock.start();
    EXPECT_TRUE(view->terminal().mode(Mode::synchronizedOutput));
    // The frame timer armed by that output has come and gone.
    ASSERT_TRUE(testsupport::waitForTimerStartedBefore(TerminalView::kRefreshIntervalMs));
    EXPECT_TRUE(view->isDirty()) << "drawn while the shell held synchronized output";
    ASSERT_TRUE(QTest::qWaitFor([&] { return !view->isDirty(); }, 20000));
    // A lower bound only: a loaded machine makes the wait longer, never shorter.
    EXPECT_GE(clock.elapsed(), TerminalView::kSynchronizedOutputTimeoutMs - 350);
    // After the time-out output is drawn as it comes.
    ASSERT_TRUE(runAndWait(*view, "echo more$((6*7))", "more42"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !view->isDirty(); }, 1000));
}

TEST_F(ViewTest, ScrolledBackLinesStayInPlaceWhileOutputArrivesEvenWithAFullScrollback) {
    auto view = makeView("/bin/bash", QSize(660, 420));
    const Terminal& t = view->terminal();
    const auto topShownLine = [&] {
        const std::int64_t first = std::int64_t(t.scrollback().size()) - view->scrollbackOffset();
        return scrollbackLine(t, std::size_t(first));
    };

    // Room left in the scrollback: lines move on as the count grows.
    ASSERT_TRUE(runAndWait(*view, "seq 1 100; echo a$((6*7))", "a42"));
    view->setSmoothScrollY(view->cellH() * 5);
    const QString before = topShownLine();
    ASSERT_TRUE(runAndWait(*view, "seq 1 30; echo b$((6*7))", "b42"));
    EXPECT_EQ(topShownLine(), before);

    // A full scrollback drops a line for every line it takes, so its size no longer changes.
    ASSERT_TRUE(runAndWait(*view, "seq 1 10100; echo c$((6*7))", "c42"));
    ASSERT_EQ(t.scrollback().size(), Terminal::kScrollbackLimit);
    view->setSmoothScrollY(view->cellH() * 5);
    const QString full = topShownLine();
    const std::int64_t sb = std::int64_t(t.scrollback().size());
    view->setSelection(GridPos{sb - 5, 0}, GridPos{sb - 4, 3});
    const std::optional<QString> selected = view->selectedText();
    ASSERT_TRUE(selected);
    std::int64_t droppedSeen = 0;
    view->onBufferLinesDropped = [&](std::int64_t n) { droppedSeen += n; };

    ASSERT_TRUE(runAndWait(*view, "seq 1 50; echo d$((6*7))", "d42"));
    EXPECT_EQ(topShownLine(), full) << "the view drifted with the output";
    EXPECT_GE(droppedSeen, 50);
    EXPECT_EQ(view->selectedText(), selected) << "the selection drifted with the output";
}

TEST_F(ViewTest, KeysTypedWhileASlowShellStartsRunAsACommand) {
    // A login shell whose start-up takes a second, as a heavy profile does.
    QFile profile(home.filePath(".bash_profile"));
    ASSERT_TRUE(profile.open(QIODevice::WriteOnly));
    profile.write("sleep 1\n");
    profile.close();
    auto view = makeView("/bin/bash");
    QTest::keyClicks(view.get(), QStringLiteral("echo typed$((6*7))"));
    QTest::keyClick(view.get(), Qt::Key_Return);
    ASSERT_FALSE(view->shellReady()) << "the shell spoke too early for this test";
    EXPECT_TRUE(waitForScreen(*view, QStringLiteral("typed42")))
        << "keys typed before the prompt were lost:\n"
        << screenText(view->terminal()).toStdString();
}
