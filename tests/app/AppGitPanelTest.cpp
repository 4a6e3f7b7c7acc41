// The git panel beside a terminal tab: the button's cycle per tab, the column it shares with the
// other side panels, its sizes across a restart, the folder it follows, and a change made in the
// shell seen, diffed and committed from the panel.
#include "AppTestSupport.h"
#include "app/git/GitPanelPlacement.h"
#include "app/settings/SettingsApplier.h"
#include "chrome/SidebarContextMenu.h"
#include "git/ClickableFileRow.h"
#include "git/GitPanelModel.h"
#include "git/GitPanelView.h"
#include "git/InlineDiff.h"
#include "settings/VertCenteredTextField.h"
#include "support/Artifacts.h"
#include "support/GitPanelViewTestAccess.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDir>
#include <QFile>
#include <QGraphicsEffect>
#include <QLabel>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>

using namespace apptest;

namespace {

class AppGitPanel : public AppTest {
protected:
    void launchShown() {
        launch();
        ASSERT_TRUE(QTest::qWaitFor([&] { return app->window()->isVisible(); }, 5000));
        settle();
    }
    void toggle() { app->perform(Action::toggleGitPanel); }
    GitPanelPlacement& placement() { return internals(*app).gitPlacement(); }

    // A repository with one commit, made by real git.
    QString makeRepo(const QString& name) {
        const QString repo = folder(name);
        // The identity goes into the repository: the tests' home folder has no git configuration.
        for (const QStringList& args :
             {QStringList{"init", "-q", "-b", "main"}, QStringList{"config", "user.name", "t"},
              QStringList{"config", "user.email", "t@t"},
              QStringList{"commit", "-q", "--allow-empty", "-m", "first"}}) {
            QProcess git;
            git.setWorkingDirectory(repo);
            git.start("git", args);
            EXPECT_TRUE(git.waitForFinished(10000));
            EXPECT_EQ(git.exitCode(), 0) << git.readAllStandardError().toStdString();
        }
        return repo;
    }
};

std::vector<ClickableFileRow*> rowsOf(const GitPanelView* panel) {
    std::vector<ClickableFileRow*> rows;
    for (int i = 0; i < internals(*panel).filesStack()->count(); ++i)
        if (auto* row = qobject_cast<ClickableFileRow*>(internals(*panel).filesStack()->itemAt(i)->widget()))
            rows.push_back(row);
    return rows;
}

} // namespace

TEST_F(AppGitPanel, TheButtonCyclesBottomRightClosedAndEachPlaceKeepsItsSize) {
    launchShown();
    const QRect area = app->termFrame();
    toggle();
    ASSERT_EQ(tab(0).gitPosition, GitPanelPosition::bottom);
    GitPanelView* panel = tab(0).gitPanel;
    ASSERT_NE(panel, nullptr);
    settle();
    EXPECT_TRUE(panel->isVisible());
    EXPECT_TRUE(app->workspace().isGitPanelShown());
    // Below the terminal, across its width, 30 % of the height.
    EXPECT_NEAR(panel->height(), area.height() * 0.3, 1);
    EXPECT_EQ(panel->geometry().bottom(), area.bottom());
    EXPECT_LT(tab(0).page()->geometry().bottom(), panel->y());
    EXPECT_FALSE(tab(0).gitDivider->isVertical);
    EXPECT_TRUE(panel->isRefreshing());

    // A larger bottom panel, then the right, then closed.
    placement().handleGitDividerDrag(area.height() * 0.1);
    EXPECT_NEAR(tab(0).gitRatioH, 0.4, 1e-9);
    toggle();
    EXPECT_EQ(tab(0).gitPosition, GitPanelPosition::right);
    EXPECT_EQ(tab(0).gitPanel, panel) << "the same panel moves";
    EXPECT_NEAR(panel->width(), area.width() * 0.35, 1);
    EXPECT_EQ(panel->geometry().right(), area.right());
    EXPECT_TRUE(tab(0).gitDivider->isVertical);
    placement().handleGitDividerDrag(-100000);
    EXPECT_DOUBLE_EQ(tab(0).gitRatioV, 0.65) << "a drag stops at 65 %";
    toggle();
    EXPECT_EQ(tab(0).gitPosition, GitPanelPosition::none);
    EXPECT_FALSE(app->workspace().isGitPanelShown());
    ASSERT_TRUE(QTest::qWaitFor([&] { return tab(0).gitPanel == nullptr; }, 3000)) << "gone after its fade";
    EXPECT_EQ(tab(0).page()->geometry(), area);

    // Back at the bottom with the size it had there; another tab has its own position.
    toggle();
    EXPECT_NEAR(tab(0).gitRatio, 0.4, 1e-9);
    app->workspace().addTab();
    EXPECT_EQ(tab(1).gitPosition, GitPanelPosition::none);
    EXPECT_FALSE(app->workspace().isGitPanelShown());
    EXPECT_FALSE(tab(0).gitPanel->isVisible());
    EXPECT_FALSE(tab(0).gitPanel->isRefreshing()) << "a hidden tab's panel does not refresh";
    app->workspace().switchToTab(0);
    EXPECT_TRUE(tab(0).gitPanel->isRefreshing());
    settle();
    expectTabsInStep();
}

TEST_F(AppGitPanel, ClosingThenSwitchingTabsRemovesOnlyTheClosedPanel) {
    launchShown();
    toggle(); // tab 0 at the bottom
    app->workspace().addTab();
    toggle(); // tab 1 at the bottom
    settle();
    app->workspace().switchToTab(0);
    const QPointer<GitPanelView> first = tab(0).gitPanel;
    const QPointer<GitPanelView> second = tab(1).gitPanel;
    toggle();
    toggle(); // closing tab 0's panel; the fade runs on while tab 1 comes up
    ASSERT_EQ(tab(0).gitPosition, GitPanelPosition::none);
    app->workspace().switchToTab(1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return first.isNull(); }, 3000));
    EXPECT_EQ(tab(0).gitPanel, nullptr);
    EXPECT_EQ(tab(1).gitPanel, second) << "the shown tab keeps its panel";
    ASSERT_FALSE(second.isNull());
    EXPECT_TRUE(second->isVisible());
}

TEST_F(AppGitPanel, ThePanelStacksWithTheOtherSidePanels) {
    launchShown();
    toggle(); // bottom
    app->sidePanels().showSSHManager();
    // A bottom panel cannot share the window with the column: it moves to the right.
    EXPECT_EQ(tab(0).gitPosition, GitPanelPosition::right);
    EXPECT_EQ(app->sidePanels().visibleSidebarPanels(), (QStringList{"git", "ssh"}));
    GitPanelView* panel = tab(0).gitPanel;
    SSHManagerView* ssh = app->sidePanels().sshManagerView();
    settle();
    // Shown in full, the panels draw straight: their dimmed move buttons have effects of their own,
    // which cannot be drawn inside another one.
    for (QWidget* shown : {static_cast<QWidget*>(panel), static_cast<QWidget*>(ssh)})
        EXPECT_TRUE(!shown->graphicsEffect() || !shown->graphicsEffect()->isEnabled())
            << shown->metaObject()->className();
    EXPECT_EQ(panel->x(), ssh->x());
    EXPECT_LT(panel->geometry().bottom(), ssh->y()) << "git above ssh, in the column's order";
    EXPECT_TRUE(internals(*panel).moveDownBtn()->isEnabled());
    EXPECT_FALSE(internals(*panel).moveUpBtn()->isEnabled());

    // The panel's right click lists the side panels and shows or hides them.
    std::unique_ptr<QMenu> menu = sidebarContextMenu(panel->sidebarMenuHost);
    ASSERT_TRUE(menu);
    ASSERT_EQ(menu->actions().size(), 3);
    EXPECT_TRUE(menu->actions()[0]->isChecked()) << "Git";
    EXPECT_FALSE(menu->actions()[1]->isChecked()) << "WebPicker";
    EXPECT_TRUE(menu->actions()[2]->isChecked()) << "SSH";
    // The SSH manager's right click shows the same menu.
    QContextMenuEvent rightClick(QContextMenuEvent::Mouse, QPoint(5, 5), ssh->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(ssh, &rightClick);
    auto* shown = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_TRUE(shown);
    ASSERT_EQ(shown->actions().size(), 3);
    EXPECT_EQ(shown->actions()[2]->text(), "SSH");
    EXPECT_TRUE(shown->actions()[2]->isChecked());
    shown->close();

    internals(*panel).moveDownBtn()->click();
    EXPECT_EQ(app->sidePanels().visibleSidebarPanels(), (QStringList{"ssh", "git"}));
    EXPECT_GT(panel->y(), ssh->geometry().bottom());

    // Closing the git panel leaves the column at the tab's right-hand width.
    const int width = panel->width();
    toggle();
    ASSERT_TRUE(QTest::qWaitFor([&] { return tab(0).gitPanel == nullptr; }, 3000));
    EXPECT_NEAR(ssh->width(), width, 1);
    EXPECT_EQ(ssh->height(), app->termFrame().height());
}

TEST_F(AppGitPanel, PositionAndSizesComeBackAfterARestart) {
    launchShown();
    toggle();
    toggle(); // right
    placement().handleGitDividerDrag(-app->termFrame().width() * 0.1);
    const double ratioV = tab(0).gitRatioV;
    EXPECT_NEAR(ratioV, 0.45, 1e-9);
    app->saveSession();

    app.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    app = std::make_unique<AppDelegate>(*defaults);
    app->setBellManager(bell.get());
    launchShown();
    EXPECT_EQ(tab(0).gitPosition, GitPanelPosition::right);
    EXPECT_DOUBLE_EQ(tab(0).gitRatio, ratioV);
    EXPECT_DOUBLE_EQ(tab(0).gitRatioV, ratioV);
    EXPECT_DOUBLE_EQ(tab(0).gitRatioH, 0.3);
    ASSERT_NE(tab(0).gitPanel, nullptr);
    EXPECT_TRUE(tab(0).gitPanel->isVisible());
    EXPECT_NEAR(tab(0).gitPanel->width(), app->termFrame().width() * ratioV, 1);
}

TEST_F(AppGitPanel, TheShellsChangeIsSeenDiffedAndCommittedFromThePanel) {
    const QString repo = makeRepo("proj");
    launchShown();
    ASSERT_TRUE(waitForShell(view(0)));
    toggle();
    GitPanelView* panel = tab(0).gitPanel;
    ASSERT_NE(panel, nullptr);

    // The panel follows the shell into the repository.
    view(0)->writePTY(QStringLiteral("cd '%1'\n").arg(repo));
    ASSERT_TRUE(waitForCwd(view(0), repo));
    app->workspace().updateGitPanelCwd();
    ASSERT_TRUE(QTest::qWaitFor([&] { return internals(*panel).projectLabel()->text() == "proj"; }, 10000));
    EXPECT_EQ(internals(*panel).branchBadge()->text(), " main ");

    view(0)->writePTY(QStringLiteral("printf 'hello\\n' > notes.txt\n"));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            if (!panel->model().isRefreshing()) internals(*panel).refreshBtn()->click();
            return rowsOf(panel).size() == 1;
        },
        10000));
    EXPECT_EQ(rowsOf(panel)[0]->filePath, "notes.txt");
    EXPECT_FALSE(internals(*panel).filesCard()->isHidden());

    // Staged, its diff shows what was added.
    view(0)->writePTY(QStringLiteral("git add notes.txt\n"));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            if (!panel->model().isRefreshing()) internals(*panel).refreshBtn()->click();
            return rowsOf(panel).size() == 1 && rowsOf(panel)[0]->statusX == u'A';
        },
        10000));
    rowsOf(panel)[0]->onClick();
    ASSERT_TRUE(QTest::qWaitFor([&] { return panel->currentDiffView() != nullptr; }, 10000));
    bool added = false;
    for (const DiffLine& line : qobject_cast<InlineDiffView*>(panel->currentDiffView())->lines())
        added = added || line.text == "+hello";
    EXPECT_TRUE(added);

    // Committed from the panel: the list empties.
    internals(*panel).commitField()->setText(QStringLiteral("Add notes"));
    internals(*panel).saveBtn()->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return internals(*panel).filesCard()->isHidden(); }, 10000));
    EXPECT_TRUE(panel->model().fileEntries().empty());
    EXPECT_EQ(internals(*panel).statusLabel()->text(), "✅  All saved — nothing to do");
    EXPECT_TRUE(internals(*panel).undoCommitLabel()->text().endsWith("Add notes"));
}

// Pictures for a person to look at: a dirty repository with a diff open, the panel at the right and
// at the bottom, in the dark and the light theme.
TEST_F(AppGitPanel, ScreenshotsArtifact) {
    const QString repo = makeRepo("shop");
    QDir(repo).mkpath("src");
    QFile readme(repo + "/README.md");
    ASSERT_TRUE(readme.open(QIODevice::WriteOnly));
    readme.write("# Shop\n\nA small shop.\n");
    readme.close();
    QFile main(repo + "/src/a-rather-long-file-name-for-the-marquee.cpp");
    ASSERT_TRUE(main.open(QIODevice::WriteOnly));
    main.write("int main() { return 0; }\n");
    main.close();
    launchShown();
    ASSERT_TRUE(waitForShell(view(0)));
    view(0)->writePTY(QStringLiteral("cd '%1' && git add README.md\n").arg(repo));
    ASSERT_TRUE(waitForCwd(view(0), repo));
    const QString dir = testsupport::artifactsDir();
    for (const GitPanelPosition position : {GitPanelPosition::bottom, GitPanelPosition::right}) {
        while (tab(0).gitPosition != position) toggle();
        GitPanelView* panel = tab(0).gitPanel;
        app->workspace().updateGitPanelCwd();
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                if (!panel->model().isRefreshing()) internals(*panel).refreshBtn()->click();
                return rowsOf(panel).size() == 2 && rowsOf(panel)[0]->statusX == u'A';
            },
            10000));
        if (!panel->currentDiffView()) rowsOf(panel)[0]->onClick();
        ASSERT_TRUE(QTest::qWaitFor([&] { return panel->currentDiffView() != nullptr; }, 10000));
        const QString where = position == GitPanelPosition::right ? "right" : "bottom";
        for (const auto& [theme, name] : {std::pair{1, "light"}, std::pair{0, "dark"}}) {
            internals(*app).settingsApplier().previewTheme(theme);
            settle();
            EXPECT_TRUE(
                testsupport::snapshot(app->window()).save(dir + "/git-panel-" + where + "-" + name + ".png"));
        }
    }
}
