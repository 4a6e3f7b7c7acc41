// The divider: where its strip lies, the steps a drag reports, and the colour it settles on.
#include "git/GitPanelDividerView.h"

#include "support/Waits.h"

#include <QMouseEvent>
#include <QTest>
#include <gtest/gtest.h>

namespace {

void mouse(QWidget* w, QEvent::Type type, QPointF local) {
    const QPointF global = w->mapToGlobal(local);
    const Qt::MouseButtons buttons = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, local, global, Qt::LeftButton, buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &event);
}

} // namespace

TEST(GitPanelDividerView, TheStripLiesFivePixelsInAndFollowsAResize) {
    GitPanelDividerView vertical;
    vertical.resize(12, 300);
    EXPECT_EQ(vertical.stripRect(), QRect(5, 0, 2, 300));
    vertical.resize(12, 420);
    EXPECT_EQ(vertical.stripRect(), QRect(5, 0, 2, 420));

    GitPanelDividerView horizontal;
    horizontal.isVertical = false;
    horizontal.resize(500, 12);
    // 5 px up from the bottom edge: rows 5 and 6 counted from the top of a 12 px divider.
    EXPECT_EQ(horizontal.stripRect(), QRect(0, 5, 500, 2));
}

TEST(GitPanelDividerView, DragStepsAddUpAndPointTheirWay) {
    for (const bool vertical : {true, false}) {
        SCOPED_TRACE(vertical ? "vertical" : "horizontal");
        GitPanelDividerView divider;
        divider.isVertical = vertical;
        divider.resize(vertical ? QSize(12, 200) : QSize(200, 12));
        divider.show();
        std::vector<double> steps;
        divider.onDrag = [&](double step) { steps.push_back(step); };
        const QPointF start(6, 6);
        // Three moves of 10 px each: to the right, or downwards for a horizontal divider.
        mouse(&divider, QEvent::MouseButtonPress, start);
        EXPECT_EQ(divider.stripColor(), GitPanelDividerView::dragColor);
        for (int i = 1; i <= 3; ++i)
            mouse(&divider, QEvent::MouseMove, start + (vertical ? QPointF(10 * i, 0) : QPointF(0, 10 * i)));
        mouse(&divider, QEvent::MouseButtonRelease, start + (vertical ? QPointF(30, 0) : QPointF(0, 30)));
        ASSERT_EQ(steps.size(), 3u);
        double sum = 0;
        for (double s : steps) sum += s;
        // Downwards is negative: the window's coordinates grow upwards.
        EXPECT_DOUBLE_EQ(sum, vertical ? 30.0 : -30.0);
    }
}

TEST(GitPanelDividerView, ReleasingSettlesOnHoverOrRestColour) {
    GitPanelDividerView divider;
    divider.resize(12, 200);
    divider.show();
    mouse(&divider, QEvent::MouseButtonPress, {6, 50});
    mouse(&divider, QEvent::MouseButtonRelease, {60, 50}); // outside
    EXPECT_EQ(divider.stripColor(), GitPanelDividerView::normalColor);
    mouse(&divider, QEvent::MouseButtonPress, {6, 50});
    mouse(&divider, QEvent::MouseButtonRelease, {6, 60}); // over it
    EXPECT_EQ(divider.stripColor(), GitPanelDividerView::hoverColor);
    EXPECT_TRUE(testsupport::waitForAnimationsToEnd({&divider}));
}
