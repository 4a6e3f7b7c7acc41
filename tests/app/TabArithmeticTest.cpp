// Which tab is on show after a close, a move, a previous/next command, and which requests are refused.
#include "app/tabs/TabArithmetic.h"

#include <gtest/gtest.h>

using namespace tabmath;

TEST(TabArithmetic, ActiveTabAfterAClose) {
    struct Case {
        int active, closed, remaining, expected;
        const char* what;
    };
    const Case cases[] = {
        {2, 2, 2, 1, "closing the active last tab of three shows the new last one"},
        {2, 0, 2, 1, "closing left of the active tab keeps the same tab on show"},
        {0, 2, 2, 0, "closing right of the active tab changes nothing"},
        {1, 1, 2, 1, "closing the active middle tab shows the one that moved into its place"},
        {0, 0, 1, 0, "closing the first of two shows the remaining one"},
        {5, 1, 3, 2, "an active index beyond the list is pulled back to the last tab"},
        {0, 0, 0, 0, "no tab left"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(activeAfterClose(c.active, c.closed, c.remaining), c.expected) << c.what;
}

TEST(TabArithmetic, ActiveTabAfterAMove) {
    struct Case {
        int active, from, to, expected;
    };
    const Case cases[] = {
        {0, 0, 2, 2},               // the active tab dragged from 0 to 2
        {1, 0, 2, 0},               // tab 0 dragged to 2 while tab 1 is active
        {1, 2, 0, 2},               // tab 2 dragged to 0 while tab 1 is active
        {2, 0, 2, 1},               // the active tab is the drop target: it moves one left
        {0, 2, 0, 1}, {3, 0, 2, 3}, // outside the moved range
        {0, 1, 3, 0}, {2, 2, 2, 2},
    };
    for (const Case& c : cases)
        EXPECT_EQ(activeAfterMove(c.active, c.from, c.to), c.expected)
            << "active " << c.active << ", " << c.from << " -> " << c.to;
}

TEST(TabArithmetic, PreviousAndNextWrapAround) {
    struct Case {
        int active, count;
        std::optional<int> previous, next;
    };
    const Case cases[] = {
        {0, 3, 2, 1},  {1, 3, 0, 2},
        {2, 3, 1, 0},  {0, 1, 0, 0},
        {-1, 3, 2, 0}, // a stray index still lands on a tab
        {7, 3, 2, 0},  {0, 0, std::nullopt, std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(previousTab(c.active, c.count), c.previous) << c.active << " of " << c.count;
        EXPECT_EQ(nextTab(c.active, c.count), c.next) << c.active << " of " << c.count;
    }
}

TEST(TabArithmetic, RefusedRequests) {
    EXPECT_TRUE(canSwitchTo(1, 0, 3));
    EXPECT_FALSE(canSwitchTo(0, 0, 3)) << "switching to the tab on show does nothing";
    EXPECT_FALSE(canSwitchTo(3, 0, 3));
    EXPECT_FALSE(canSwitchTo(-1, 0, 3));
    EXPECT_FALSE(canSwitchTo(0, 1, 0));

    EXPECT_FALSE(canClose(0, 1)) << "the last tab is never closed";
    EXPECT_TRUE(canClose(1, 2));
    EXPECT_FALSE(canClose(2, 2));
    EXPECT_FALSE(canClose(-1, 2));
    EXPECT_EQ(closeCurrentTabCommand(1), CloseCommand::hideWindow);
    EXPECT_EQ(closeCurrentTabCommand(2), CloseCommand::closeActiveTab);

    EXPECT_FALSE(canMove(1, 1, 3));
    EXPECT_FALSE(canMove(0, 3, 3));
    EXPECT_FALSE(canMove(-1, 0, 3));
    EXPECT_TRUE(canMove(2, 0, 3));
}
