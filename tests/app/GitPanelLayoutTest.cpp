// The arithmetic of the git panel's place: the terminal, the bottom panel, the column and their
// dividers in bottom-up coordinates; the stacked heights; the divider drag's limits.
#include "app/sidepanel/GitPanelLayout.h"

#include <gtest/gtest.h>

using namespace gitlayout;

namespace {

Input inputFor(GitPanelPosition position, bool hasPanel, QStringList open = {}) {
    Input in;
    in.frame = QRectF(0, 0, 1000, 600);
    in.position = position;
    in.hasPanel = hasPanel;
    in.ratio = position == GitPanelPosition::right ? 0.35 : 0.3;
    in.ratioV = 0.35;
    in.order = {"git", "picker", "ssh"};
    in.isOpen = [open](const QString& id) { return open.contains(id); };
    in.preferredHeight = [](const QString& id) { return id == "picker" ? 320.0 : 260.0; };
    return in;
}

} // namespace

TEST(GitPanelLayout, PreferredHeightsAreScaledRaisedAndScaledAgainToFillTheRoom) {
    const QList<double> h = columnHeights({500, 100}, 300);
    ASSERT_EQ(h.size(), 2);
    EXPECT_NEAR(h[0], 241.94, 0.01);
    EXPECT_NEAR(h[1], 58.06, 0.01);
    EXPECT_NEAR(h[0] + h[1], 300, 1e-9);
    const QList<double> even = columnHeights({260, 260}, 400);
    EXPECT_DOUBLE_EQ(even[0], 200);
    EXPECT_DOUBLE_EQ(even[1], 200);
}

TEST(GitPanelLayout, DragsStopBetweenFifteenAndSixtyFivePercent) {
    struct Case {
        GitPanelPosition position;
        double delta;
        double expected;
    };
    const Case cases[] = {
        {GitPanelPosition::right, -100, 0.4}, // left widens a panel on the right
        {GitPanelPosition::right, 100, 0.2},
        {GitPanelPosition::right, -10000, 0.65},
        {GitPanelPosition::right, 10000, 0.15},
        {GitPanelPosition::bottom, 100, 0.4}, // up heightens a panel at the bottom
        {GitPanelPosition::bottom, 10000, 0.65},
        {GitPanelPosition::bottom, -10000, 0.15},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(draggedRatio(c.position, 0.3, c.delta, 1000), c.expected, 1e-9)
            << int(c.position) << " " << c.delta;
}

TEST(GitPanelLayout, BottomPanelRightPanelAndColumnFrames) {
    // At the bottom: 30 % of the height, a 2 pt gap, the divider 5 pt before the seam.
    Output bottom = layout(inputFor(GitPanelPosition::bottom, true));
    EXPECT_EQ(bottom.terminal, QRectF(0, 182, 1000, 418));
    EXPECT_EQ(bottom.bottomPanel, QRectF(0, 0, 1000, 180));
    EXPECT_EQ(bottom.gitDivider, QRectF(0, 175, 1000, 12));
    EXPECT_FALSE(bottom.gitDividerVertical);
    EXPECT_TRUE(bottom.column.isEmpty());

    // Alone on the right: the column is the git panel, its divider is the column's edge.
    Output right = layout(inputFor(GitPanelPosition::right, true));
    EXPECT_EQ(right.terminal, QRectF(0, 0, 648, 600));
    EXPECT_EQ(right.column, QStringList{"git"});
    EXPECT_EQ(right.columnPanels.value(0), QRectF(650, 0, 350, 600));
    EXPECT_EQ(right.gitDivider, QRectF(643, 0, 12, 600));
    EXPECT_TRUE(right.gitDividerVertical);
    EXPECT_FALSE(right.columnDivider);

    // With the picker open a bottom panel moves to the right, in the column's order.
    Output moved = layout(inputFor(GitPanelPosition::bottom, true, {"picker"}));
    EXPECT_TRUE(moved.movedToRight);
    EXPECT_EQ(moved.position, GitPanelPosition::right);
    EXPECT_DOUBLE_EQ(moved.ratio, 0.35);
    EXPECT_EQ(moved.column, (QStringList{"git", "picker"}));
    ASSERT_EQ(moved.columnDividers.size(), 1);
    EXPECT_FALSE(moved.bottomPanel);
    EXPECT_TRUE(moved.gitDividerVertical);
    // Stacked from the top; the divider's strip lies in the 2 pt gap between them.
    EXPECT_DOUBLE_EQ(moved.columnPanels[0].y() + moved.columnPanels[0].height(), 600);
    EXPECT_DOUBLE_EQ(moved.columnDividers[0].y() + kDividerLead + 2, moved.columnPanels[0].y());
    EXPECT_DOUBLE_EQ(moved.columnPanels[1].y(), 0);

    // No git panel but the picker and SSH: the column keeps the tab's right-hand width, with its own edge.
    Output others = layout(inputFor(GitPanelPosition::none, false, {"picker", "ssh"}));
    EXPECT_EQ(others.column, (QStringList{"picker", "ssh"}));
    EXPECT_EQ(others.columnDivider, QRectF(643, 0, 12, 600));
    EXPECT_FALSE(others.gitDivider);
    EXPECT_EQ(others.terminal.width(), 648);
}
