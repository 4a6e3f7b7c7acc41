// Fonts and cell metrics, the grid that fits a frame, the shell's window-size requests, what the
// pane tells assistive technology, and the timers of an idle pane.
#include "ViewTestSupport.h"
#include "support/Waits.h"
#include "terminalview/ProgramResizeGate.h"
#include "terminalview/TerminalFonts.h"

#include <QAccessible>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QScreen>
#include <QTest>
#include <QVBoxLayout>
#include <cmath>

namespace {
// The sizes a widget took, each change once.
class SizeLog : public QObject {
public:
    explicit SizeLog(QWidget* target) : target_(target) { target->installEventFilter(this); }
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Resize && (sizes.isEmpty() || sizes.last() != target_->size()))
            sizes << target_->size();
        return false;
    }
    QList<QSize> sizes;

private:
    QWidget* target_;
};
} // namespace

TEST(TerminalFonts, SizesFamiliesAndFallbacks) {
    loadTerminalFonts();
    const QString systemMono = QFontInfo(QFontDatabase::systemFont(QFontDatabase::FixedFont)).family();
    struct Case {
        double size;
        qint64 family;
        const char* regular; // nullptr: the system monospace font
        const char* bold;
        int pixels;
    };
    const Case cases[] = {
        {0, 0, "Fira Code", "Fira Code", 10}, // no stored size: 10
        {14, 0, "Fira Code", "Fira Code", 14},
        {14, 7, "Fira Code", "Fira Code", 14}, // out of range: the first entry
        {14, -1, "Fira Code", "Fira Code", 14},
        {12, 1, "JetBrains Mono", nullptr, 12}, // the entry names no bold face
        {12, 2, nullptr, nullptr, 12},          // Monocraft is not packaged
        {12, 3, nullptr, nullptr, 12},          // nor is Iosevka
    };
    for (const Case& c : cases) {
        const TerminalFonts fonts = makeTerminalFonts(c.size, c.family);
        const QString regular = c.regular ? QString(c.regular) : systemMono;
        const QString bold = c.bold ? QString(c.bold) : systemMono;
        EXPECT_EQ(QFontInfo(fonts.font).family(), regular) << c.family;
        EXPECT_EQ(QFontInfo(fonts.boldFont).family(), bold) << c.family;
        EXPECT_GE(QFontInfo(fonts.boldFont).weight(), QFont::Bold) << c.family;
        EXPECT_EQ(fonts.regularIsFallback, c.regular == nullptr);
        EXPECT_EQ(fonts.boldIsFallback, c.bold == nullptr);
        EXPECT_EQ(QFontInfo(fonts.font).pixelSize(), c.pixels) << c.family;
        // Whole-pixel cells: the advance of "M" and the line height, both rounded up.
        EXPECT_EQ(fonts.cellW, std::ceil(QFontMetricsF(fonts.font).horizontalAdvance('M')));
        EXPECT_EQ(fonts.cellH, std::ceil(QFontMetricsF(fonts.font).height()));
    }
    // Fira Code has no italic: the upright face is used rather than a slanted imitation.
    const TerminalFonts fira = makeTerminalFonts(14, 0);
    EXPECT_FALSE(fira.italicFont.italic());
    const TerminalFonts jetbrains = makeTerminalFonts(14, 1);
    EXPECT_TRUE(jetbrains.italicFont.italic());
    EXPECT_EQ(QFontInfo(jetbrains.font).styleName(), "Light");
}

TEST_F(ViewTest, TheGridFitsTheFrameAndFollowsFontSizes) {
    pane.fontSize = 14.0;
    auto tiny = makeQuietView(QSize(20, 12));
    EXPECT_EQ(tiny->terminal().cols(), 1);
    EXPECT_EQ(tiny->terminal().rows(), 1);

    auto view = makeQuietView(QSize(660, 420));
    view->show(); // a hidden widget learns its new size when it is shown
    const Terminal& t = view->terminal();
    EXPECT_EQ(t.cols(), std::int64_t((660 - 32) / view->cellW()));
    EXPECT_EQ(t.rows(), std::int64_t((420 - 20) / view->cellH()));
    EXPECT_EQ(t.cellPixelWidth(), std::int64_t(view->cellW()));
    EXPECT_EQ(t.cellPixelHeight(), std::int64_t(view->cellH()));
    // A change of a few points that keeps the grid leaves the selection alone.
    view->setSelection(GridPos{0, 0}, GridPos{0, 3});
    const QSize nearby(660 + 1, 420 + 1);
    ASSERT_EQ(view->gridSizeFor(nearby), std::make_pair(t.cols(), t.rows()));
    view->resize(nearby);
    EXPECT_TRUE(view->selectionRange());
    view->resize(500, 300);
    EXPECT_FALSE(view->selectionRange());
    EXPECT_EQ(t.cols(), std::int64_t((500 - 32) / view->cellW()));

    const qreal oldCellW = view->cellW();
    view->updateFontSize(20);
    EXPECT_GT(view->cellW(), oldCellW);
    EXPECT_EQ(t.cols(), std::int64_t((500 - 32) / view->cellW()));
    EXPECT_EQ(t.rows(), std::int64_t((300 - 20) / view->cellH()));
    EXPECT_EQ(t.cellPixelWidth(), std::int64_t(view->cellW()));
    // While the owner animates the frame the grid stays.
    view->setSuppressResize(true);
    view->resize(700, 500);
    EXPECT_EQ(t.cols(), std::int64_t((500 - 32) / view->cellW()));
}

TEST_F(ViewTest, ScrolledBackTextStaysInViewWhenANarrowerGridPushesLines) {
    auto view = makeQuietView(QSize(660, 420));
    view->show();
    for (int i = 0; i < 80; ++i) feed(*view, QByteArray("line ") + QByteArray::number(i) + "\r\n");
    view->setSmoothScrollY(view->cellH() * 6);
    const Terminal& t = view->terminal();
    const auto top = [&] {
        return scrollbackLine(t, std::size_t(std::int64_t(t.scrollback().size()) - view->scrollbackOffset()));
    };
    const QString before = top();
    const std::size_t lines = t.scrollback().size();
    view->resize(660, 300); // fewer rows: rows above the cursor at the bottom leave for the history
    ASSERT_GT(t.scrollback().size(), lines);
    EXPECT_EQ(top(), before);
}

TEST_F(ViewTest, WindowSizeRequestsResizeTheWindowByThePanesDifferenceWithinTheScreen) {
    QWidget window;
    window.resize(600, 400);
    auto view = makeQuietView(QSize(600, 320));
    view->setParent(&window);
    view->move(0, 40); // a header above and a footer below the pane
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    view->requestGridSize(10, 40);
    const int paneWidth = int(std::ceil(view->cellW() * 40 + 32));
    const int paneHeight = int(std::ceil(view->cellH() * 10 + 20));
    EXPECT_EQ(window.size(), QSize(paneWidth, 400 - 320 + paneHeight));

    const QRect screen = window.screen()->availableGeometry();
    const QSize first = window.size();
    view->requestGridSize(1000, 1000); // within a second of the first: carried out a second later
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.size() != first; }, 3000));
    EXPECT_LE(window.geometry().right(), screen.right());
    EXPECT_LE(window.geometry().bottom(), screen.bottom());
    // Nonsense sizes are ignored.
    const QSize now = window.size();
    view->requestGridSize(0, 80);
    EXPECT_EQ(window.size(), now);
}

TEST_F(ViewTest, AssistiveTechnologySeesAReadOnlyTextAreaOfTheScreen) {
    auto view = makeQuietView();
    view->show();
    feed(*view, "ab   ");
    EXPECT_EQ(view->accessibilityValue(), "ab");
    QAccessibleInterface* a11y = QAccessible::queryAccessibleInterface(view.get());
    ASSERT_TRUE(a11y);
    EXPECT_EQ(a11y->role(), QAccessible::EditableText);
    EXPECT_EQ(a11y->text(QAccessible::Name), "Terminal");
    EXPECT_EQ(a11y->text(QAccessible::Description), "terminal");
    EXPECT_EQ(a11y->text(QAccessible::Value), "ab");
    EXPECT_TRUE(a11y->state().readOnly);
    EXPECT_TRUE(a11y->state().multiLine);
    QAccessibleTextInterface* text = a11y->textInterface();
    ASSERT_TRUE(text);
    EXPECT_EQ(text->characterCount(), 2);
    EXPECT_EQ(text->text(0, 2), "ab");
    EXPECT_EQ(text->cursorPosition(), 2);

    // The value is rebuilt after the shell's next output.
    auto shell = makeView("/bin/bash");
    ASSERT_TRUE(runAndWait(*shell, "echo first$((6*7))", "first42"));
    EXPECT_TRUE(shell->accessibilityValue().contains("first42"));
    ASSERT_TRUE(runAndWait(*shell, "clear; echo second$((6*7))", "second42"));
    EXPECT_FALSE(shell->accessibilityValue().contains("first42"));
    EXPECT_TRUE(shell->accessibilityValue().contains("second42"));
}

TEST_F(ViewTest, AnIdlePaneRunsNoTimers) {
    auto view = makeQuietView();
    showFocused(*view);
    view->terminal().process("\x1b[2 q"); // steady block
    view->repaint();
    EXPECT_FALSE(view->isRefreshPending());
    EXPECT_FALSE(view->isCursorBlinkTimerActive());
    EXPECT_FALSE(view->isTextBlinkTimerActive());

    view->terminal().process("\x1b[1 q"); // blinking block: the blink timer runs while focused
    view->repaint();
    EXPECT_TRUE(view->isCursorBlinkTimerActive());
    view->clearFocus();
    view->repaint();
    EXPECT_FALSE(view->isCursorBlinkTimerActive());
    EXPECT_TRUE(view->cursorBlinkOn());

    feed(*view, "\x1b[5mblink\x1b[0m");
    view->repaint();
    EXPECT_TRUE(view->isTextBlinkTimerActive());
    feed(*view, "\x1b[2J");
    view->repaint();
    EXPECT_FALSE(view->isTextBlinkTimerActive());
    EXPECT_TRUE(view->textBlinkVisible());

    // Output marks the pane dirty and one frame is drawn; then nothing runs again.
    auto shell = makeView("/bin/bash");
    shell->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(shell.get()));
    ASSERT_TRUE(runAndWait(*shell, "echo out$((6*7))", "out42"));
    // Wait until the prompt after the output has been drawn too.
    std::int64_t readSoFar = -1;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            const bool quiet =
                shell->perf.readBytes == readSoFar && !shell->isDirty() && !shell->isRefreshPending();
            readSoFar = shell->perf.readBytes;
            return quiet;
        },
        5000));
    testsupport::drainEvents(); // the frame asked for last is painted on a later turn
    const std::int64_t frames = shell->perf.drawCount;
    // Nothing is scheduled that would draw again: no frame timer runs and no paint is queued.
    EXPECT_FALSE(shell->isRefreshPending());
    testsupport::drainEvents();
    EXPECT_EQ(shell->perf.drawCount, frames);
    EXPECT_FALSE(shell->isRefreshPending());
}

TEST_F(ViewTest, TheBellRingsThroughTheControllerOnTheNextTurn) {
    auto view = makeQuietView();
    feed(*view, "\a");
    EXPECT_TRUE(host.bells.empty()) << "rung from inside the engine's processing";
    ASSERT_TRUE(QTest::qWaitFor([&] { return host.bells.size() == 1; }, 2000));
    EXPECT_EQ(host.bells[0], view.get());
    // A pane closed before its bell is handled rings without a pane.
    feed(*view, "\a");
    view.reset();
    ASSERT_TRUE(QTest::qWaitFor([&] { return host.bells.size() == 2; }, 2000));
    EXPECT_EQ(host.bells[1], nullptr);
}

TEST_F(ViewTest, OutputReachesARemoteViewerOnlyWhileOneIsConnected) {
    auto view = makeView("/bin/bash");
    ASSERT_TRUE(runAndWait(*view, "echo alone$((6*7))", "alone42"));
    EXPECT_TRUE(host.remoteText.isEmpty());
    host.remoteConnected = true;
    ASSERT_TRUE(runAndWait(*view, "echo watched$((6*7)) \u00e9", "watched42"));
    EXPECT_TRUE(host.remoteText.contains("watched42 \u00e9"));
}

TEST_F(ViewTest, ProgramsResizeTheWindowAtMostOnceASecondAndNeverDuringADrag) {
    QWidget window;
    window.resize(600, 400);
    auto view = makeQuietView(QSize(600, 400));
    auto* layout = new QVBoxLayout(&window); // the pane fills the window
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view.get());
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    SizeLog log(&window);
    const auto sizeFor = [&](int rows, int cols) {
        return QSize(int(std::ceil(view->cellW() * cols + 32)), int(std::ceil(view->cellH() * rows + 20)));
    };

    // A program asking in a loop: the first request at once, the newest a second later, no more.
    for (int i = 0; i < 30; ++i) view->requestGridSize(10 + i % 3, 40 + i);
    EXPECT_EQ(window.size(), sizeFor(10, 40));
    const QSize newest = sizeFor(10 + 29 % 3, 40 + 29);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.size() == newest; }, 3000));
    // A third size would come from the gate's next turn; it has had it once this timer fires.
    ASSERT_TRUE(testsupport::waitForTimerStartedBefore(ProgramResizeGate::kMinIntervalMs));
    EXPECT_EQ(log.sizes, (QList<QSize>{sizeFor(10, 40), newest}));
    EXPECT_TRUE(ProgramResizeGate::isProgramSize(&window));
    window.resize(640, 420); // the user's own size
    EXPECT_FALSE(ProgramResizeGate::isProgramSize(&window));

    // While the user holds the mouse button (dragging the window's edge), requests are dropped.
    QTest::mousePress(window.windowHandle(), Qt::LeftButton, {}, QPoint(5, 5));
    view->requestGridSize(12, 50);
    ASSERT_TRUE(testsupport::waitForTimerStartedBefore(ProgramResizeGate::kMinIntervalMs));
    EXPECT_EQ(window.size(), QSize(640, 420));
    QTest::mouseRelease(window.windowHandle(), Qt::LeftButton, {}, QPoint(5, 5));
}
