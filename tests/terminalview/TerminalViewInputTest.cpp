// Wheel input and focus as the program in the terminal sees them, and scrolling through history.
#include "ViewTestSupport.h"

#include <QApplication>
#include <QTest>
#include <QWheelEvent>
#include <unistd.h>

namespace {

void wheel(TerminalView& view, QPointF pos, QPoint pixelDelta, QPoint angleDelta,
           Qt::ScrollPhase phase = Qt::NoScrollPhase) {
    QWheelEvent event(pos, view.mapToGlobal(pos), pixelDelta, angleDelta, Qt::NoButton, Qt::NoModifier, phase,
                      false);
    QApplication::sendEvent(&view, &event);
}

void notch(TerminalView& view, int notches = 1) {
    wheel(view, QPointF(40, 40), QPoint(), QPoint(0, 120 * notches));
}

// Starts a program that shows every byte it receives, as `cat -v` does, after `setup`.
void showInput(TerminalView& view, const QString& setup) {
    ASSERT_TRUE(runAndWait(view, setup + "; stty -echo -icanon; echo go$((6*7)); cat -v", "go42"));
    // cat runs in the foreground (what is typed before it reads waits in the terminal for it).
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return ::tcgetpgrp(view.masterFd()) != ::getpgid(view.childPid()); }, 20000));
}

} // namespace

TEST_F(ViewTest, OnTheAlternateScreenTheWheelSendsCursorKeys) {
    auto view = makeView("/bin/bash");
    showInput(*view, R"(printf '\033[?1049h\033[?1h')");
    ASSERT_TRUE(view->terminal().isAltScreen());
    notch(*view);
    ASSERT_TRUE(waitForScreen(*view, "^[OA"));
    // Three notches down are three keys; a pixel swipe to the left sends one left key per 3 points.
    wheel(*view, QPointF(40, 40), QPoint(), QPoint(0, -360));
    wheel(*view, QPointF(40, 40), QPoint(-9, 0), QPoint(-72, 0), Qt::ScrollUpdate);
    ASSERT_TRUE(waitForScreen(*view, "^[OA^[OB^[OB^[OB^[OD^[OD^[OD"));
    EXPECT_EQ(view->smoothScrollY(), 0);
    view->writePTY(QByteArrayView("\x03", 1));
}

TEST_F(ViewTest, WithMouseReportingTheWheelSendsReportsOfTheCellUnderThePointer) {
    auto view = makeView("/bin/bash");
    showInput(*view, R"(printf '\033[?1000h\033[?1006h')");
    ASSERT_EQ(view->terminal().mouseTracking(), MouseTracking::clicks);
    wheel(*view, QPointF(TerminalView::paddingX + 1, TerminalView::paddingY + 1), QPoint(), QPoint(0, 120));
    const QPointF cell = cellRect(*view, 2, 4).center();
    wheel(*view, cell, QPoint(), QPoint(0, -240));
    // No release follows a wheel button.
    ASSERT_TRUE(waitForScreen(*view, "^[[<64;1;1M^[[<65;5;3M^[[<65;5;3M"));
    const QString screen = screenText(view->terminal());
    EXPECT_FALSE(screen.mid(screen.indexOf("go42")).contains("m"));
    view->writePTY(QByteArrayView("\x03", 1));
}

TEST_F(ViewTest, OnTheMainScreenTheWheelScrollsHistoryWithMomentumAndHorizontalSwipesSendKeys) {
    auto view = makeView("/bin/bash");
    ASSERT_TRUE(runAndWait(*view, "seq 1 150; echo done$((6*7))", "done42"));
    // The prompt comes after the output: output arriving while the view is within half a row of
    // the live screen brings it back there, so the wheel waits for the prompt.
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            const QString screen = screenText(view->terminal());
            const qsizetype lineEnd = screen.indexOf(u'\n', screen.lastIndexOf(QStringLiteral("done42")));
            return lineEnd >= 0 && !screen.mid(lineEnd + 1).trimmed().isEmpty();
        },
        10000));
    const auto limit = [&] { return view->cellH() * double(view->terminal().scrollback().size()); };

    // A plain wheel: one notch moves 4 points at once, then glides to a stop.
    notch(*view);
    EXPECT_DOUBLE_EQ(view->smoothScrollY(), 4);
    EXPECT_TRUE(view->isMomentumActive());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !view->isMomentumActive(); }, 5000));
    double expected = 4, velocity = 4;
    while (std::abs(velocity) > 0.3) {
        expected += velocity;
        velocity *= 0.92;
    }
    EXPECT_NEAR(view->smoothScrollY(), expected, 1e-6);

    // The glide stops at the oldest line and at the live screen.
    notch(*view, 1000);
    EXPECT_DOUBLE_EQ(view->scrollVelocity(), 20 * view->cellH());
    ASSERT_TRUE(QTest::qWaitFor([&] { return view->smoothScrollY() == limit(); }, 5000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !view->isMomentumActive(); }, 5000));
    EXPECT_EQ(view->smoothScrollY(), limit());
    notch(*view, -1000);
    ASSERT_TRUE(QTest::qWaitFor([&] { return view->smoothScrollY() == 0; }, 5000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !view->isMomentumActive(); }, 5000));
    EXPECT_EQ(view->smoothScrollY(), 0);
    view->stopMomentum();

    // A trackpad gesture moves 1.8 points per point and snaps back when it ends within half a row.
    const QPointF at(40, 40);
    wheel(*view, at, QPoint(0, 1), QPoint(0, 8), Qt::ScrollBegin);
    wheel(*view, at, QPoint(0, 2), QPoint(0, 16), Qt::ScrollUpdate);
    EXPECT_DOUBLE_EQ(view->smoothScrollY(), 5.4);
    ASSERT_LT(5.4, view->cellH() * 0.5);
    wheel(*view, at, QPoint(), QPoint(), Qt::ScrollEnd);
    EXPECT_EQ(view->smoothScrollY(), 0);
    wheel(*view, at, QPoint(0, 20), QPoint(0, 160), Qt::ScrollBegin);
    wheel(*view, at, QPoint(0, 5), QPoint(0, 40), Qt::ScrollMomentum);
    EXPECT_DOUBLE_EQ(view->smoothScrollY(), 45);
    wheel(*view, at, QPoint(), QPoint(), Qt::ScrollEnd);
    EXPECT_DOUBLE_EQ(view->smoothScrollY(), 45);
    EXPECT_EQ(view->scrollbackOffset(), std::int64_t(45 / view->cellH()));
    view->setSmoothScrollY(0);

    // Sideways on the main screen: left keys to the program, at most twenty per event.
    showInput(*view, "clear");
    wheel(*view, at, QPoint(-300, 0), QPoint(-2400, 0), Qt::ScrollUpdate);
    ASSERT_TRUE(waitForScreen(*view, QString("^[[D").repeated(20)));
    EXPECT_FALSE(waitForScreen(*view, QString("^[[D").repeated(21), 100));
    view->writePTY(QByteArrayView("\x03", 1));
}

TEST_F(ViewTest, WhileDragSelectingTheWheelMovesTheSelectionEndUnderThePointer) {
    auto view = makeQuietView();
    for (int i = 0; i < 100; ++i) feed(*view, QByteArray("row ") + QByteArray::number(i) + "\r\n");
    const auto sb = std::int64_t(view->terminal().scrollback().size());
    view->setSelection(GridPos{sb + 3, 0}, GridPos{sb + 3, 2});
    view->setDragging(true);
    const QPointF pointer = cellRect(*view, 1, 3).center();
    wheel(*view, pointer, QPoint(0, 64), QPoint(0, 512), Qt::ScrollUpdate);
    ASSERT_TRUE(view->isScrolledBack());
    EXPECT_EQ(view->selEnd(), view->gridPos(pointer));
    EXPECT_LT(view->selEnd()->row, sb + 1);
    EXPECT_EQ(view->selEnd()->col, 3);
    EXPECT_EQ(view->selStart(), (GridPos{sb + 3, 0}));
}

TEST_F(ViewTest, FocusChangesAreReportedOnlyWhileTheProgramAsksForThem) {
    auto view = makeView("/bin/bash");
    showFocused(*view);
    showInput(*view, "clear");
    view->clearFocus();
    view->setFocus();
    // A key typed after the focus changes reaches cat after anything they sent.
    view->writePTY(QStringLiteral("typed-after"));
    ASSERT_TRUE(waitForScreen(*view, "typed-after"));
    EXPECT_FALSE(screenText(view->terminal()).contains("^[[")) << "reported without focus reporting";
    // The program switches focus reporting on.
    feed(*view, "\x1b[?1004h");
    view->clearFocus();
    view->setFocus();
    ASSERT_TRUE(waitForScreen(*view, "^[[O^[[I"));
    EXPECT_EQ(screenText(view->terminal()).count("^[["), 2);
    view->writePTY(QByteArrayView("\x03", 1));
}
