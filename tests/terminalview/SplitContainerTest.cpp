// The split container: layout rules as tables, then splitting, dimming, activating and dragging
// the divider with real panes.
#include "terminalview/SplitContainer.h"

#include "ViewTestSupport.h"
#include "terminalview/PassthroughBlurView.h"
#include "terminalview/SplitGeometry.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTest>

TEST(SplitGeometry, PaneAndDividerFrames) {
    struct Case {
        QSize bounds;
        bool vertical;
        double ratio;
        QRect primary, divider, secondary;
    };
    const Case cases[] = {
        // Side by side: a 4-point divider at 0.5 of 804 points leaves 400 for each pane.
        {{804, 500}, true, 0.5, {0, 0, 400, 500}, {400, 0, 4, 500}, {404, 0, 400, 500}},
        {{1000, 300}, true, 0.3, {0, 0, 298, 300}, {298, 0, 4, 300}, {302, 0, 698, 300}},
        // Stacked: the primary pane is the lower one.
        {{600, 404}, false, 0.5, {0, 204, 600, 200}, {0, 200, 600, 4}, {0, 0, 600, 200}},
        {{600, 1000}, false, 0.25, {0, 752, 600, 248}, {0, 748, 600, 4}, {0, 0, 600, 748}},
        // Too small for a divider: nothing gets a negative size.
        {{3, 3}, true, 0.5, {0, 0, 0, 3}, {-1, 0, 5, 3}, {4, 0, 0, 3}},
    };
    for (const Case& c : cases) {
        const split::Frames f = split::framesFor(c.bounds, c.vertical, c.ratio);
        EXPECT_EQ(f.primary, c.primary) << c.bounds.width() << "x" << c.bounds.height();
        EXPECT_EQ(f.divider, c.divider) << c.bounds.width() << "x" << c.bounds.height();
        EXPECT_EQ(f.secondary, c.secondary) << c.bounds.width() << "x" << c.bounds.height();
    }
}

TEST(SplitGeometry, DragRatiosAndStoredRatios) {
    struct Drag {
        QPointF pos;
        bool vertical;
        double ratio;
    };
    for (const Drag& d :
         {Drag{{400, 10}, true, 0.5}, Drag{{-50, 10}, true, 0.15}, Drag{{5000, 10}, true, 0.85},
          Drag{{10, 100}, false, 0.75}, Drag{{10, 390}, false, 0.15}, Drag{{10, -20}, false, 0.85}})
        EXPECT_DOUBLE_EQ(split::dragRatio(d.pos, QSize(800, 400), d.vertical), d.ratio)
            << d.pos.x() << "," << d.pos.y();
    struct Stored {
        double stored;
        double result;
    };
    // Absent reads as 0; only values strictly between 0.1 and 0.9 are taken.
    for (const Stored& s : {Stored{0, 0.5}, Stored{0.1, 0.5}, Stored{0.9, 0.5}, Stored{0.95, 0.5},
                            Stored{0.3, 0.3}, Stored{0.85, 0.85}, Stored{-1, 0.5}})
        EXPECT_DOUBLE_EQ(split::startRatio(s.stored, 0.5), s.result) << s.stored;
}

namespace {
class SplitTest : public ViewTest {
protected:
    void SetUp() override {
        ViewTest::SetUp();
        primary = makeQuietView(QSize(804, 500)).release();
        container = std::make_unique<SplitContainer>(QRect(0, 0, 804, 500), primary, defaults.get());
        container->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(container.get()));
    }
    void TearDown() override {
        container.reset();
        ViewTest::TearDown();
    }
    TerminalView* newPane() { return makeQuietView(QSize(400, 500)).release(); }

    TerminalView* primary = nullptr;
    std::unique_ptr<SplitContainer> container;
};
} // namespace

TEST_F(SplitTest, SplittingDimsThePrimaryPaneAndUnsplittingReturnsTheSecondary) {
    EXPECT_FALSE(container->isSplit());
    EXPECT_EQ(primary->geometry(), container->rect());
    EXPECT_EQ(container->unsplit(), nullptr);

    TerminalView* secondary = newPane();
    container->split(true, secondary);
    ASSERT_TRUE(container->isSplit());
    EXPECT_EQ(container->secondaryView(), secondary);
    EXPECT_EQ(primary->geometry(), QRect(0, 0, 400, 500));
    EXPECT_EQ(secondary->geometry(), QRect(404, 0, 400, 500));
    EXPECT_EQ(container->dividerView()->geometry(), QRect(400, 0, 4, 500));
    EXPECT_FALSE(container->activePaneIsPrimary());
    EXPECT_TRUE(container->primaryDimOverlay()->isShown());
    EXPECT_FALSE(container->secondaryDimOverlay()->isShown());
    EXPECT_EQ(container->primaryDimOverlay()->geometry(), primary->geometry());
    // The panes' grids follow their new frames.
    EXPECT_EQ(primary->terminal().cols(), primary->gridSizeFor(QSize(400, 500)).first);

    // A second split changes nothing.
    TerminalView* extra = newPane();
    container->split(false, extra);
    EXPECT_EQ(container->secondaryView(), secondary);
    EXPECT_TRUE(container->isVerticalSplit());
    delete extra;

    container->setActivePane(true);
    EXPECT_FALSE(container->primaryDimOverlay()->isShown());
    EXPECT_TRUE(container->secondaryDimOverlay()->isShown());

    container->resize(1004, 500);
    EXPECT_EQ(secondary->geometry(), QRect(504, 0, 500, 500));

    TerminalView* removed = container->unsplit();
    EXPECT_EQ(removed, secondary);
    EXPECT_FALSE(container->isSplit());
    EXPECT_EQ(container->dividerView(), nullptr);
    EXPECT_EQ(container->primaryDimOverlay(), nullptr);
    EXPECT_TRUE(container->activePaneIsPrimary());
    EXPECT_EQ(primary->geometry(), container->rect());
    // It fades out, then leaves the container; the caller owns it.
    ASSERT_TRUE(QTest::qWaitFor([&] { return removed->parentWidget() == nullptr; }, 2000));
    EXPECT_FALSE(removed->isVisible());
    delete removed;
}

TEST_F(SplitTest, DraggingTheDividerStopsAtItsLimitsAndRemembersTheRatioPerOrientation) {
    container->split(true, newPane());
    QWidget* divider = container->dividerView();
    // Presses on the divider reach the container, which drags it.
    QTest::mousePress(divider, Qt::LeftButton, Qt::NoModifier, QPoint(2, 100));
    EXPECT_TRUE(container->isDraggingDivider());
    // Moves and the release go to the widget pressed first and on to the container.
    const QPointF beyond = divider->mapFrom(container.get(), QPointF(-200, 100));
    QMouseEvent move(QEvent::MouseMove, beyond, divider->mapToGlobal(beyond), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(divider, &move);
    EXPECT_DOUBLE_EQ(container->splitRatio(), 0.15);
    EXPECT_EQ(container->primaryView()->width(), int(804 * 0.15 + 0.5) - 2);
    QTest::mouseRelease(divider, Qt::LeftButton, Qt::NoModifier, beyond.toPoint());
    EXPECT_FALSE(container->isDraggingDivider());
    EXPECT_DOUBLE_EQ(defaults->doubleValue("splitRatioV"), 0.15);
    EXPECT_FALSE(defaults->hasStoredValue("splitRatioH"));

    // Out of range for a new split (0.15 is taken; 0.95 would not be).
    delete container->unsplit();
    defaults->setValue("splitRatioV", 0.95);
    container->split(true, newPane());
    EXPECT_DOUBLE_EQ(container->splitRatio(), 0.15) << "keeps the ratio it had";
    delete container->unsplit();
    defaults->setValue("splitRatioH", 0.3);
    container->split(false, newPane());
    EXPECT_DOUBLE_EQ(container->splitRatio(), 0.3);
    EXPECT_EQ(container->primaryView()->geometry(), QRect(0, 352, 804, 148));
}

TEST_F(SplitTest, AClickInTheDimmedPaneReachesItAndMakesItActive) {
    TerminalView* secondary = newPane();
    container->split(true, secondary);
    TerminalView* focused = nullptr;
    container->onFocusChanged = [&](TerminalView* pane) { focused = pane; };
    // The veil over the primary pane lets the click through.
    const QPoint inPrimary(100, 100);
    EXPECT_EQ(container->childAt(inPrimary), primary);
    QTest::mouseClick(primary, Qt::LeftButton, Qt::NoModifier, inPrimary);
    EXPECT_EQ(focused, primary);
    EXPECT_TRUE(container->activePaneIsPrimary());
    EXPECT_FALSE(container->primaryDimOverlay()->isShown());
    EXPECT_TRUE(container->secondaryDimOverlay()->isShown());
    ASSERT_TRUE(QTest::qWaitFor([&] { return container->secondaryDimOverlay()->level() == 1.0; }, 2000));

    QTest::mouseClick(secondary, Qt::LeftButton, Qt::NoModifier, QPoint(50, 50));
    EXPECT_EQ(focused, secondary);
    EXPECT_FALSE(container->activePaneIsPrimary());
    ASSERT_TRUE(QTest::qWaitFor([&] { return container->secondaryDimOverlay()->level() == 0.0; }, 2000));
    EXPECT_FALSE(container->secondaryDimOverlay()->isVisible());
}

TEST_F(SplitTest, APressInTheInactivePaneActivatesItAtOnceAndStillSelects) {
    TerminalView* secondary = newPane();
    container->split(true, secondary);
    ASSERT_FALSE(container->activePaneIsPrimary());
    std::vector<TerminalView*> focused;
    container->onFocusChanged = [&](TerminalView* pane) { focused.push_back(pane); };
    feed(*primary, "select here");
    const QPointF from(TerminalView::paddingX + 0.5 * primary->cellW(), TerminalView::paddingY + 2);
    const QPointF to(TerminalView::paddingX + 5.5 * primary->cellW(), TerminalView::paddingY + 2);
    QMouseEvent press(QEvent::MouseButtonPress, from, primary->mapToGlobal(from), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(primary, &press);
    EXPECT_TRUE(container->activePaneIsPrimary()) << "on the press, before the release";
    ASSERT_EQ(focused.size(), 1u);
    EXPECT_EQ(focused[0], primary);
    QMouseEvent move(QEvent::MouseMove, to, primary->mapToGlobal(to), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(primary, &move);
    QMouseEvent release(QEvent::MouseButtonRelease, to, primary->mapToGlobal(to), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(primary, &release);
    EXPECT_EQ(primary->selectedText(), "select");
    EXPECT_TRUE(container->activePaneIsPrimary());
}
