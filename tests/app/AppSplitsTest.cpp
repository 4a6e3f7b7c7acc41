// Split panes of the running controller: a second shell in the same folder, closing and turning the
// split, the second shell ending, and the header's split buttons.
#include "AppTestSupport.h"
#include "chrome/AlertSheetView.h"
#include "chrome/HeaderBarView.h"
#include "chrome/SplitIconButton.h"

#include <QTest>
#include <csignal>

using namespace apptest;

namespace {

class AppSplits : public AppTest {
protected:
    SplitContainer* container(int index) { return tab(index).splitContainer; }
    bool verticalOn() const { return internals(*app).headerView()->splitVButton()->isActive(); }
    bool horizontalOn() const { return internals(*app).headerView()->splitHButton()->isActive(); }
};

} // namespace

TEST_F(AppSplits, ASplitOpensASecondShellInTheSameFolderAndClosesItAgain) {
    launch();
    const QString work = folder("work");
    app->workspace().createTab("/bin/bash", work);
    ASSERT_TRUE(waitForCwd(view(1), work));
    SplitContainer* c = container(1);

    app->workspace().toggleSplit(true);
    ASSERT_TRUE(c->isSplit());
    EXPECT_TRUE(c->isVerticalSplit());
    TerminalView* second = c->secondaryView();
    EXPECT_EQ(second->currentShell(), view(1)->currentShell());
    EXPECT_TRUE(waitForCwd(second, work)) << "the second shell starts where the first one is";
    EXPECT_NE(second->tabId(), view(1)->tabId()) << "with a history of its own";
    EXPECT_EQ(app->window()->focusWidget(), second);
    EXPECT_TRUE(verticalOn());
    EXPECT_FALSE(horizontalOn());

    const pid_t secondShell = second->childPid();
    app->workspace().toggleSplit(true);
    EXPECT_FALSE(c->isSplit());
    EXPECT_TRUE(waitForProcessEnd(secondShell)) << "the second shell is hung up";
    EXPECT_EQ(app->window()->focusWidget(), view(1));
    EXPECT_FALSE(verticalOn() || horizontalOn());
    settle();
    expectTabsInStep();
}

TEST_F(AppSplits, TurningASplitKeepsBothSessionsAndTheirScreens) {
    launch();
    app->workspace().toggleSplit(true);
    SplitContainer* c = container(0);
    TerminalView* first = view(0);
    TerminalView* second = c->secondaryView();
    ASSERT_TRUE(waitForShell(first));
    ASSERT_TRUE(waitForShell(second));
    first->writePTY(QStringLiteral("echo left-$((6*7))\r"));
    second->writePTY(QStringLiteral("echo right-$((6*7))\r"));
    ASSERT_TRUE(waitForScreenText(first, QStringLiteral("left-42")));
    ASSERT_TRUE(waitForScreenText(second, QStringLiteral("right-42")));
    const pid_t firstShell = first->childPid();
    const pid_t secondShell = second->childPid();

    app->workspace().toggleSplit(false);
    ASSERT_TRUE(c->isSplit());
    EXPECT_FALSE(c->isVerticalSplit()) << "one above the other";
    EXPECT_EQ(c->secondaryView(), second) << "the same second pane";
    EXPECT_EQ(first->childPid(), firstShell);
    EXPECT_EQ(second->childPid(), secondShell) << "its shell keeps running";
    EXPECT_EQ(::kill(secondShell, 0), 0);
    EXPECT_TRUE(waitForScreenText(first, QStringLiteral("left-42"))) << "the screens stay";
    EXPECT_TRUE(waitForScreenText(second, QStringLiteral("right-42")));
    EXPECT_TRUE(horizontalOn());
    EXPECT_FALSE(verticalOn());
}

TEST_F(AppSplits, ClosingASplitWhoseSecondPaneRunsAProgramAsksFirst) {
    launch();
    app->workspace().toggleSplit(true);
    SplitContainer* c = container(0);
    TerminalView* second = c->secondaryView();
    ASSERT_TRUE(waitForShell(second));
    second->writePTY(QStringLiteral("sleep 600\r"));
    ASSERT_TRUE(waitForForegroundProgram(second, QStringLiteral("sleep")));

    app->workspace().toggleSplit(true);
    AlertSheetView* sheet = app->contentView()->findChild<AlertSheetView*>();
    ASSERT_NE(sheet, nullptr) << "a question instead of a closed split";
    EXPECT_TRUE(sheet->message().contains(QStringLiteral("sleep"))) << sheet->message().toStdString();
    EXPECT_TRUE(c->isSplit());
    QTest::keyClick(sheet, Qt::Key_Return);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !app->contentView()->findChild<AlertSheetView*>(); }, 5000));
    EXPECT_TRUE(c->isSplit()) << "Return is Cancel";

    app->workspace().toggleSplit(true);
    sheet = app->contentView()->findChild<AlertSheetView*>();
    ASSERT_NE(sheet, nullptr);
    const pid_t secondShell = second->childPid();
    sheet->choose(0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !c->isSplit(); }, 5000)) << "End closes it";
    EXPECT_TRUE(waitForProcessEnd(secondShell));
}

TEST_F(AppSplits, TheSecondShellEndingClosesOnlyTheSplit) {
    launch();
    app->workspace().toggleSplit(true);
    SplitContainer* c = container(0);
    TerminalView* second = c->secondaryView();
    ASSERT_TRUE(waitForShell(second));
    second->writePTY(QStringLiteral("exit\n"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !c->isSplit(); }, 20000));
    EXPECT_EQ(app->workspace().tabs().count(), 1) << "the tab stays";
    EXPECT_GT(view(0)->childPid(), 0);
    EXPECT_EQ(app->window()->focusWidget(), view(0));
    EXPECT_FALSE(verticalOn() || horizontalOn());

    // The exit handler of a pane that was replaced meanwhile changes nothing.
    app->workspace().toggleSplit(false);
    TerminalView* replacement = c->secondaryView();
    const std::function<void()> stale = app->workspace().makeSecondaryExitHandler(c, view(0));
    stale();
    EXPECT_TRUE(c->isSplit());
    EXPECT_EQ(c->secondaryView(), replacement);
}

TEST_F(AppSplits, SwitchingPanesMovesTheKeyboard) {
    launch();
    app->workspace().switchSplitPane(); // unsplit: nothing
    app->workspace().toggleSplit(false);
    SplitContainer* c = container(0);
    EXPECT_FALSE(c->activePaneIsPrimary()) << "the new pane is the active one";
    app->workspace().switchSplitPane();
    EXPECT_TRUE(c->activePaneIsPrimary());
    EXPECT_EQ(app->window()->focusWidget(), view(0));
    app->workspace().switchSplitPane();
    EXPECT_FALSE(c->activePaneIsPrimary());
    EXPECT_EQ(app->window()->focusWidget(), c->secondaryView());
}

TEST_F(AppSplits, TheSplitButtonsFollowTheActiveTab) {
    launch();
    app->workspace().toggleSplit(true);
    app->workspace().addTab();
    EXPECT_FALSE(verticalOn() || horizontalOn()) << "the new tab is not split";
    app->workspace().switchToTab(0);
    EXPECT_TRUE(verticalOn());
    app->workspace().createEditorTab();
    EXPECT_FALSE(verticalOn() || horizontalOn());
    app->workspace().toggleSplit(true);
    EXPECT_EQ(app->workspace().tabs().active()->splitContainer, nullptr) << "an editor tab does not split";
}

TEST_F(AppSplits, ClosingSplitEditorAndPlainTabsKeepsEveryColumnInStep) {
    launch();
    app->workspace().toggleSplit(false);
    app->workspace().createEditorTab();
    app->workspace().addTab();
    nameTabsInOrder();
    const pid_t primary = view(0)->childPid();
    // Both shells at their prompts: a program still starting in one of them would be asked about.
    ASSERT_TRUE(waitForShell(view(0)));
    ASSERT_TRUE(waitForShell(container(0)->secondaryView()));
    ASSERT_TRUE(waitForShellInForeground(view(0)));
    ASSERT_TRUE(waitForShellInForeground(container(0)->secondaryView()));
    const pid_t secondary = container(0)->secondaryView()->childPid();

    app->workspace().closeTab(0); // the split tab
    settle();
    expectTabsInStep();
    EXPECT_EQ(names(), (QStringList{"t1", "t2"}));
    EXPECT_TRUE(waitForProcessEnd(primary));
    EXPECT_TRUE(waitForProcessEnd(secondary));

    app->workspace().closeTab(0); // the editor tab, unmodified: no question
    settle();
    expectTabsInStep();
    EXPECT_EQ(names(), QStringList{"t2"});
}
