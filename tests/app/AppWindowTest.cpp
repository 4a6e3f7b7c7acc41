// The drop-down window in the running controller: fades and toggles, the click-outside monitor,
// dimming, detaching and restoring, snapping, geometry memory, the tray icon's place and menu, the
// window's own keys and resize zones, and the side-panel column.
#include "AppTestSupport.h"
#include "aiusage/AIUsageBadge.h"
#include "aiusage/AIUsagePopover.h"
#include "app/settings/SettingsApplier.h"
#include "app/window/BorderlessWindow.h"
#include "app/window/WindowBorderView.h"
#include "chrome/FooterBarView.h"
#include "chrome/HeaderBarView.h"
#include "platform/GlobalInput.h"
#include "ssh/SSHProfileRowView.h"
#include "support/WebPickerTestAccess.h"
#include "ssh/SSHProfileStore.h"

#include <QFile>
#include <QGuiApplication>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QWindow>

using namespace apptest;

namespace {

class AppWindow : public AppTest {
protected:
    QWidget* win() { return app->window(); }
    WindowController& wc() { return app->windowController(); }
    QRect available() const { return QGuiApplication::primaryScreen()->availableGeometry(); }

    // Launches and waits until the window has faded in.
    void launchShown() {
        launch();
        ASSERT_TRUE(QTest::qWaitFor([&] { return win()->isVisible() && !wc().isAnimating(); }, 5000));
    }
    bool waitForFadesToEnd() {
        return QTest::qWaitFor([&] { return !wc().isAnimating(); }, 5000);
    }
    // Lets the window's frame, fade and dimming animations run out.
    bool waitForAnimations() { return testsupport::waitForAnimationsToEnd({app.get()}); }
    void clickElsewhere() { emit wc().keys().input()->buttonPressed(1); }
};

} // namespace

TEST_F(AppWindow, TogglesDuringAFadeRunOnceWhenItEnds) {
    launchShown();
    // Two toggles during one fade: the window ends as that fade leaves it.
    wc().toggleWindow();
    ASSERT_TRUE(wc().isAnimating());
    wc().toggleWindow();
    EXPECT_TRUE(wc().pendingToggle());
    wc().toggleWindow();
    EXPECT_FALSE(wc().pendingToggle());
    ASSERT_TRUE(waitForFadesToEnd());
    EXPECT_FALSE(win()->isVisible());

    // One toggle during a fade-in hides the window right after it has appeared.
    wc().toggleWindow();
    ASSERT_TRUE(wc().isAnimating());
    EXPECT_TRUE(win()->isVisible());
    wc().toggleWindow();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !win()->isVisible() && !wc().isAnimating(); }, 5000));
    EXPECT_FALSE(wc().pendingToggle());

    // Showing and hiding during a fade do nothing of their own.
    wc().showWindowAnimated();
    wc().hideWindowAnimated();
    ASSERT_TRUE(waitForFadesToEnd());
    EXPECT_TRUE(win()->isVisible());
    EXPECT_NEAR(win()->windowOpacity(), 0.99, 0.01) << "the window fades to its opacity setting";
}

TEST_F(AppWindow, HidingRemembersWhenAndHoldsThePanesSizes) {
    wc().uptime = [] { return 1234.5; };
    launchShown();
    wc().hideWindowAnimated();
    EXPECT_DOUBLE_EQ(wc().lastHideTime(), 1234.5);
    EXPECT_TRUE(view(0)->suppressResize()) << "the panes keep their size while the window fades out";
    EXPECT_FALSE(wc().tray().isPolling());
    ASSERT_TRUE(waitForFadesToEnd());
    EXPECT_FALSE(view(0)->suppressResize());
    EXPECT_FALSE(win()->isVisible());
}

TEST_F(AppWindow, AClickElsewhereHidesTheWindowOnlyWhenTheSettingIsOn) {
    launchShown();
    EXPECT_FALSE(wc().hasClickOutsideMonitor()) << "off by default";
    QCursor::setPos(available().bottomLeft() + QPoint(5, -5));
    clickElsewhere();
    settle();
    EXPECT_TRUE(win()->isVisible());

    defaults->setValue("hideOnClickOutside", true);
    wc().setClickOutsideMonitorEnabled(true);
    EXPECT_TRUE(wc().hasClickOutsideMonitor());
    // A click on the window itself leaves it.
    wc().handleClickOutside(win()->geometry().center());
    EXPECT_FALSE(wc().isAnimating());
    wc().handleClickOutside(win()->geometry().bottomLeft() + QPoint(-30, 30));
    EXPECT_TRUE(wc().isAnimating());
    ASSERT_TRUE(waitForFadesToEnd());
    EXPECT_FALSE(win()->isVisible());
    EXPECT_FALSE(wc().hasClickOutsideMonitor()) << "hiding removes the monitor";

    wc().toggleWindow();
    ASSERT_TRUE(waitForFadesToEnd());
    EXPECT_TRUE(wc().hasClickOutsideMonitor()) << "showing installs it again";
}

TEST_F(AppWindow, ASecondMonitorReplacesTheFirstSoRemovingItLeavesNone) {
    defaults->setValue("hideOnClickOutside", true);
    launchShown();
    ASSERT_TRUE(wc().hasClickOutsideMonitor());
    // The reset installs the monitor anew while one is installed.
    app->resetWindow();
    ASSERT_TRUE(wc().hasClickOutsideMonitor());
    wc().setClickOutsideMonitorEnabled(false);
    EXPECT_FALSE(wc().hasClickOutsideMonitor());
    EXPECT_FALSE(wc().keys().input()->isWatchingClicks());
    QCursor::setPos(available().bottomLeft() + QPoint(5, -5));
    clickElsewhere();
    EXPECT_FALSE(wc().isAnimating()) << "a monitor left over from before still hid the window";
    EXPECT_TRUE(win()->isVisible());
}

TEST_F(AppWindow, TheResetInstallsTheClickMonitorOnlyWhenTheSettingAsks) {
    launchShown();
    ASSERT_FALSE(defaults->boolean("hideOnClickOutside"));
    app->resetWindow();
    EXPECT_FALSE(wc().hasClickOutsideMonitor());
    QCursor::setPos(available().bottomLeft() + QPoint(5, -5));
    clickElsewhere();
    EXPECT_FALSE(wc().isAnimating());
    ASSERT_TRUE(waitForAnimations());
    // The first-start size, kept within the screen (offscreen it is narrower than the window).
    EXPECT_EQ(win()->size(), QSize(std::min(860, available().width()), std::min(480, available().height())));
    EXPECT_TRUE(available().contains(win()->geometry()));
    EXPECT_NEAR(win()->windowOpacity(), 0.99, 0.01);

    defaults->setValue("hideOnClickOutside", true);
    app->resetWindow();
    EXPECT_TRUE(wc().hasClickOutsideMonitor());
}

TEST_F(AppWindow, AnUnfocusedWindowDimsAndComesBackWhenFocused) {
    defaults->setValue("autoDim", true);
    launchShown();
    struct Case {
        double opacity, dimmed;
    };
    for (const Case c : {Case{0.99, 0.5445}, Case{0.0, 0.55}}) {
        SCOPED_TRACE(c.opacity);
        defaults->setValue("windowOpacity", c.opacity);
        wc().windowDidResignKey();
        ASSERT_TRUE(waitForAnimations());
        EXPECT_NEAR(win()->windowOpacity(), c.dimmed, 0.006);
        wc().windowDidBecomeKey();
        ASSERT_TRUE(waitForAnimations());
        EXPECT_NEAR(win()->windowOpacity(), c.opacity > 0.01 ? c.opacity : 1.0, 0.006);
    }
    defaults->setValue("autoDim", false);
    wc().windowDidResignKey();
    ASSERT_TRUE(waitForAnimations());
    EXPECT_NEAR(win()->windowOpacity(), 1.0, 0.006) << "without the setting nothing dims";
}

TEST_F(AppWindow, HangsUnderTheTrayIconWithItsArrowPointingAtIt) {
    const QRect screen = available();
    const QRect icon(screen.x() + 500 - 12, screen.y(), 24, 24);
    wc().tray().statusItemRect = [icon] { return std::optional<QRect>(icon); };
    defaults->setValue("windowWidth", 400.0);
    launchShown();
    const QRect frame = win()->geometry();
    EXPECT_EQ(frame.top(), icon.bottom() + 1 + 4) << "4 under the icon";
    EXPECT_EQ(frame.center().x(), icon.center().x());
    EXPECT_DOUBLE_EQ(wc().tray().currentTrayIconScreenX(), 500.0 + screen.x());
    // The arrow's tip, just under the icon, is inside the mask; beside it is not.
    const int tipX = icon.center().x() - frame.x();
    EXPECT_TRUE(win()->mask().contains(QPoint(tipX, 3)));
    EXPECT_FALSE(win()->mask().contains(QPoint(tipX - 40, 3)));
}

TEST_F(AppWindow, TheTrayMenuSaysWhetherTheWindowIsDetached) {
    launchShown();
    auto itemTexts = [&] {
        QMenu menu;
        wc().buildStatusItemMenu(menu);
        QStringList texts;
        for (QAction* a : menu.actions())
            texts << (a->isSeparator() ? QStringLiteral("-") : a->text() + (a->isChecked() ? "*" : ""));
        return texts;
    };
    EXPECT_EQ(itemTexts(), (QStringList{"Show / Hide", "Detach Window", "-", "New Tab", "-", "zsh", "bash",
                                        "sh", "-", "Quit Dunmar"}));
    app->perform(Action::toggleDetach);
    EXPECT_EQ(itemTexts().value(1), "Reattach Window*");
}

TEST_F(AppWindow, DetachingDropsTheArrowAndReattachingHangsItUnderTheIconAgain) {
    launchShown();
    const QRect docked = win()->geometry();
    app->perform(Action::toggleDetach);
    EXPECT_TRUE(wc().isDetached());
    EXPECT_TRUE(defaults->boolean("windowDetached"));
    EXPECT_EQ(win()->geometry(), docked) << "it stays where it is";
    EXPECT_FALSE(app->contentView()->isArrowStripVisible());
    EXPECT_EQ(internals(*app).headerView()->y(), 0);
    EXPECT_TRUE(win()->mask().contains(QPoint(win()->width() / 4, 2))) << "a flat top without the arrow";
    EXPECT_TRUE(wc().borderlessWindow()->isDetached);

    // Hidden, then re-attached: the remembered place goes and the window shows docked.
    wc().toggleWindow();
    ASSERT_TRUE(waitForFadesToEnd());
    defaults->setValue("windowX", 40.0);
    defaults->setValue("windowY", 50.0);
    app->perform(Action::toggleDetach);
    EXPECT_TRUE(QTest::qWaitFor([&] { return win()->isVisible() && !wc().isAnimating(); }, 5000));
    EXPECT_FALSE(wc().isDetached());
    EXPECT_FALSE(defaults->hasStoredValue("windowX"));
    EXPECT_FALSE(defaults->hasStoredValue("windowY"));
    EXPECT_TRUE(app->contentView()->isArrowStripVisible());
    EXPECT_EQ(internals(*app).headerView()->y(), 10);
}

TEST_F(AppWindow, ADetachedWindowComesBackAtLaunchPulledOntoTheScreen) {
    defaults->setValue("windowDetached", true);
    defaults->setValue("windowX", 9000.0);
    defaults->setValue("windowY", 9000.0);
    launch();
    ASSERT_TRUE(QTest::qWaitFor([&] { return win()->isVisible(); }, 5000));
    // The docked show, had it been scheduled at the launch, would have run by now.
    ASSERT_TRUE(testsupport::waitForTimerStartedBefore(AppDelegate::kShowWindowDelayMs));
    EXPECT_TRUE(wc().isDetached());
    EXPECT_TRUE(available().contains(win()->geometry())) << "clamped into the primary screen";
    EXPECT_FALSE(app->contentView()->isArrowStripVisible());

    // Its place is kept for the next start.
    app->terminateWithoutConfirmation();
    EXPECT_DOUBLE_EQ(defaults->doubleValue("windowX"), win()->x());
    EXPECT_DOUBLE_EQ(defaults->doubleValue("windowY"), win()->y());
}

TEST_F(AppWindow, SnapsAndTheirToggles) {
    launchShown();
    const QRect v = available();
    const QRect before = win()->geometry();
    wc().snapping().snapLeft();
    ASSERT_TRUE(waitForAnimations());
    EXPECT_EQ(win()->geometry(), QRect(v.x(), v.y(), v.width() / 2, v.height() / 2));
    wc().snapping().toggleFullscreen();
    ASSERT_TRUE(waitForAnimations());
    EXPECT_EQ(win()->geometry(), v);
    wc().snapping().toggleFullscreen();
    ASSERT_TRUE(waitForAnimations());
    EXPECT_EQ(win()->geometry(), QRect(v.x(), v.y(), v.width() / 2, v.height() / 2));
    EXPECT_FALSE(wc().snapping().snapMemory().preFullscreenFrame);
    wc().snapping().toggleVertical();
    ASSERT_TRUE(waitForAnimations());
    EXPECT_EQ(win()->geometry().height(), v.height() - 4);
    EXPECT_TRUE(wc().snapping().snapMemory().preVerticalFrame);

    // The reset to the standard size forgets them and remembers 860 x 480.
    defaults->setValue("dockedWindowX", 12.0);
    wc().snapping().resetWindowSize();
    EXPECT_FALSE(wc().snapping().snapMemory().preVerticalFrame);
    EXPECT_FALSE(defaults->hasStoredValue("dockedWindowX"));
    EXPECT_DOUBLE_EQ(defaults->doubleValue("windowWidth"), 860);
    EXPECT_DOUBLE_EQ(defaults->doubleValue("windowHeight"), 480);
    ASSERT_TRUE(waitForAnimations());
    EXPECT_EQ(win()->size(), QSize(860, 480));
    EXPECT_EQ(win()->geometry().top(), before.top()) << "no tray icon: the top edge stays";
    // The slide's frames, the last one reported late included, are not the user's: the docked
    // place stays forgotten. The user's next move is remembered again.
    testsupport::drainEvents();
    EXPECT_FALSE(wc().frameMemory().hasPendingMoveSave());
    EXPECT_FALSE(defaults->hasStoredValue("dockedWindowX"));
    win()->move(win()->pos() + QPoint(-7, 0));
    EXPECT_TRUE(QTest::qWaitFor([&] { return defaults->hasStoredValue("dockedWindowX"); }, 2000));
    EXPECT_DOUBLE_EQ(defaults->doubleValue("dockedWindowX"), win()->x());
}

TEST_F(AppWindow, AMoveIsWrittenHalfASecondAfterTheLastOneAndNotDuringAFade) {
    launchShown();
    defaults->removeObject("dockedWindowX");
    win()->move(win()->pos() + QPoint(-7, 0));
    win()->move(win()->pos() + QPoint(-7, 0));
    EXPECT_FALSE(defaults->hasStoredValue("dockedWindowX"));
    EXPECT_TRUE(wc().frameMemory().hasPendingMoveSave());
    EXPECT_TRUE(QTest::qWaitFor([&] { return defaults->hasStoredValue("dockedWindowX"); }, 2000));
    EXPECT_DOUBLE_EQ(defaults->doubleValue("dockedWindowX"), win()->x());

    defaults->removeObject("dockedWindowX");
    wc().hideWindowAnimated();
    win()->move(win()->pos() + QPoint(-7, 0));
    EXPECT_FALSE(wc().frameMemory().hasPendingMoveSave()) << "a move during a fade writes nothing";
}

TEST_F(AppWindow, EdgeDragResizesAndADockedWindowKeepsTheIconInside) {
    const QRect screen = available();
    launchShown();
    QWindow* handle = win()->windowHandle();
    ASSERT_NE(handle, nullptr);
    const QRect start = win()->geometry();
    const int y = start.height() / 2;
    // The left zone dragged 50 to the right: narrower, right edge in place.
    QTest::mousePress(handle, Qt::LeftButton, {}, QPoint(3, y));
    QTest::mouseMove(handle, QPoint(53, y));
    QTest::mouseRelease(handle, Qt::LeftButton, {}, QPoint(53 - 50, y));
    EXPECT_EQ(win()->geometry().right(), start.right());
    EXPECT_EQ(win()->width(), start.width() - 50);
    EXPECT_DOUBLE_EQ(defaults->doubleValue("windowWidth"), win()->width())
        << "the end of a drag saves the size";

    // With the tray icon at the window's middle, the left edge stops 30 short of it.
    const QRect now = win()->geometry();
    const int iconX = now.x() + 100;
    // The icon is only what the drag reads: the tray's poll would otherwise slide the docked window
    // under it while the drag runs.
    wc().tray().stopPolling();
    wc().tray().statusItemRect = [iconX, screen] {
        return std::optional<QRect>(QRect(iconX - 12, screen.y(), 24, 24));
    };
    QTest::mousePress(handle, Qt::LeftButton, {}, QPoint(3, y));
    QTest::mouseMove(handle, QPoint(3 + 200, y));
    QTest::mouseRelease(handle, Qt::LeftButton, {}, QPoint(3, y));
    EXPECT_EQ(win()->x(), iconX - 30);
    EXPECT_EQ(win()->geometry().right(), now.right());
}

TEST_F(AppWindow, TheBorderGlowsOverTheResizeEdges) {
    launchShown();
    WindowBorderView* border = wc().borderlessWindow()->border();
    EXPECT_FALSE(wc().shape().isBorderHovered());
    wc().shape().handleBorderHover(true);
    QVariantAnimation* glow = border->glowAnimation();
    ASSERT_NE(glow, nullptr);
    EXPECT_EQ(glow->duration(), 200);
    wc().shape().handleBorderHover(true);
    EXPECT_EQ(border->glowAnimation(), glow) << "from one edge to another keeps the glow";
    ASSERT_TRUE(waitForAnimations());
    EXPECT_NEAR(border->strokeColor().alphaF(), WindowBorderView::hoverColor().alphaF(), 0.01);
    wc().shape().handleBorderHover(false);
    ASSERT_NE(border->glowAnimation(), nullptr);
    EXPECT_EQ(border->glowAnimation()->duration(), 300);
    ASSERT_TRUE(waitForAnimations());
    EXPECT_NEAR(border->strokeColor().alphaF(), WindowBorderView::normalColor().alphaF(), 0.01);
}

TEST_F(AppWindow, EditorTabsRouteTheirKeysThroughTheWindow) {
    launchShown();
    app->workspace().createEditorTab();
    settle();
    ASSERT_EQ(app->workspace().tabs().count(), 2);
    QWindow* handle = win()->windowHandle();
    // Control+1 on an editor tab switches to the first tab.
    QTest::keyClick(handle, Qt::Key_1, Qt::ControlModifier);
    EXPECT_EQ(app->workspace().activeTab(), 0);
    app->workspace().switchToTab(1);
    settle();
    // vim's normal mode: the keys reach the editor's vim commands and type nothing; in the insert
    // mode they type.
    internals(*app).footerView()->onEditorModeChange(EditorInputMode::vim);
    tab(1).editorView->textView()->setPlainText("one\ntwo\n");
    for (const char c : {'j', 'd', 'd', 'i', 'x'}) QTest::keyClick(handle, c);
    EXPECT_EQ(tab(1).editorView->text(), "one\nx");
    QTest::keyClick(handle, Qt::Key_Escape);
    EXPECT_EQ(tab(1).editorView->vimMode(), VimSubMode::normal);
    // nano's Control+K cuts the line, Control+X closes the tab.
    internals(*app).footerView()->onEditorModeChange(EditorInputMode::nano);
    tab(1).editorView->textView()->setPlainText("first\nsecond\n");
    QTest::keyClick(handle, Qt::Key_K, Qt::ControlModifier);
    EXPECT_EQ(tab(1).editorView->textView()->toPlainText(), "second\n");
    tab(1).editorView->textView()->document()->setModified(false);
    QTest::keyClick(handle, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(app->workspace().tabs().count(), 1);
}

TEST_F(AppWindow, AnSSHCommandGoesToTheTabMadeForIt) {
    launchShown();
    ASSERT_TRUE(waitForShell(view(0)));
    const QString marker = dir.filePath("ssh-shell-pid");
    app->sidePanels().openSSHConnection(QStringLiteral("echo $$ > '%1'").arg(marker));
    ASSERT_EQ(app->workspace().tabs().count(), 2);
    TerminalView* sshTab = view(1);
    // Another tab comes on show before the command is typed.
    app->workspace().switchToTab(0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFile(marker).size() > 0; }, 20000));
    QFile file(marker);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll().trimmed().toLongLong(), sshTab->childPid());
}

TEST_F(AppWindow, ASavedSSHProfileConnectsInANewTabThroughTheRealClient) {
    // Port 1 on this machine refuses at once: the client's own message shows the command ran.
    sshprofiles::save(*defaults, {SSHProfile::make("Local", "ops", "127.0.0.1", 1),
                                  SSHProfile::make("Hostile", "x\x15touch F\r", "127.0.0.1", 1)});
    launchShown();
    ASSERT_TRUE(waitForShell(view(0)));
    app->sidePanels().toggleSSHManager();
    SSHManagerView* panel = app->sidePanels().sshManagerView();
    ASSERT_NE(panel, nullptr);
    ASSERT_EQ(panel->rows().size(), 2);
    // A stored profile with control characters in it opens nothing, even when its row is asked to.
    panel->rows()[1]->onConnect(1);
    EXPECT_EQ(app->workspace().tabs().count(), 1);
    panel->rows()[0]->connectButton()->click();
    ASSERT_EQ(app->workspace().tabs().count(), 2);
    EXPECT_EQ(app->workspace().tabs().activeTab(), 1);
    const auto screen = [this] {
        QString text;
        const Terminal& t = view(1)->terminal();
        for (std::int64_t y = 0; y < t.rows(); ++y) {
            for (const Cell& cell : t.gridRow(y)) {
                const char32_t ch = cell.ch;
                text += QString::fromUcs4(&ch, 1);
            }
            text += '\n';
        }
        return text;
    };
    ASSERT_TRUE(QTest::qWaitFor([&] { return screen().contains("Connection refused"); }, 20000))
        << screen().toStdString();
    EXPECT_TRUE(screen().contains("ssh -p 1 -- ops@127.0.0.1"));
    EXPECT_NE(app->sidePanels().sshManagerView(), nullptr) << "the panel stays open";
}

TEST_F(AppWindow, TheFooterBadgeShowsTheStoredUsageAndOpensThePopoverUntilSwitchedOff) {
    defaults->setValue("aiUsageDataCache", R"({"fiveHour":{"utilization":64.2},"extraUsageEnabled":false,"fetchedAt":1})");
    defaults->setValue("showAIUsage", false);
    launchShown();
    auto* badge = qobject_cast<AIUsageBadge*>(internals(*app).footerView()->usageBadge());
    ASSERT_NE(badge, nullptr);
    EXPECT_EQ(badge->text(), "AI 64%") << "the stored snapshot, before any answer";
    // Switched on, it polls at once; with no token to be found the badge says it has nothing.
    internals(*app).settingsApplier().apply("showAIUsage", true);
    EXPECT_FALSE(badge->isHidden());
    EXPECT_EQ(badge->text(), QString::fromUtf8("AI —"));
    ASSERT_TRUE(badge->onClick);
    badge->onClick();
    auto* popover = app->contentView()->findChild<AIUsagePopover*>();
    ASSERT_NE(popover, nullptr);
    EXPECT_TRUE(popover->isVisible());
    internals(*app).settingsApplier().apply("showAIUsage", false);
    EXPECT_TRUE(badge->isHidden());
    EXPECT_FALSE(popover->isVisible()) << "switching the badge off closes its popover";
}

TEST_F(AppWindow, TheSidePanelColumnKeepsOrderHeightsAndMoveButtons) {
    launchShown();
    app->sidePanels().showWebPickerSidebar();
    WebPickerSidebarView* picker = app->sidePanels().webPickerSidebarView();
    ASSERT_NE(picker, nullptr);
    EXPECT_FALSE(ui(*picker).connectButton()->isEnabled()) << "connecting";
    EXPECT_FALSE(picker->isMoveUpEnabled());
    EXPECT_FALSE(picker->isMoveDownEnabled()) << "alone in the column";
    app->sidePanels().showSSHManager();
    SSHManagerView* ssh = app->sidePanels().sshManagerView();
    ASSERT_NE(ssh, nullptr);
    EXPECT_TRUE(picker->isMoveDownEnabled());
    EXPECT_TRUE(ssh->isMoveUpEnabled());
    EXPECT_FALSE(ssh->isMoveDownEnabled());
    EXPECT_EQ(app->sidePanels().visibleSidebarPanels(), (QStringList{"picker", "ssh"}));

    // The column: right of the page past a 2 px gap, the picker above the SSH manager, the two
    // sharing the height 320 to 260.
    const QRect page = tab(0).page()->geometry();
    EXPECT_EQ(picker->x(), page.right() + 1 + 2);
    EXPECT_GT(ssh->y(), picker->geometry().bottom());
    EXPECT_NEAR(picker->height() + 2 + ssh->height(), app->termFrame().height(), 1);
    EXPECT_NEAR(double(picker->height()) / ssh->height(), 320.0 / 260.0, 0.02);
    EXPECT_NEAR(picker->width(), app->termFrame().right() + 1 - picker->x(), 1);

    app->sidePanels().moveSidebarPanel("ssh", -1);
    EXPECT_EQ(app->sidePanels().sidebarOrder(), (QStringList{"git", "ssh", "picker"}))
        << "the hidden git keeps its place";
    EXPECT_LT(ssh->y(), picker->y());

    app->sidePanels().handleSidebarHDividerDrag("ssh", "picker", 300); // the upper one would go below 80
    EXPECT_EQ(app->sidePanels().sidebarPanelHeights().value("ssh"), 80);
    EXPECT_EQ(app->sidePanels().sidebarPanelHeights().value("picker"), 260 + 320 - 80)
        << "the pair's total stays";
    app->sidePanels().handleWebPickerDividerDrag(-100000);
    EXPECT_DOUBLE_EQ(tab(0).gitRatioV, 0.55);

    app->sidePanels().toggleSSHManager();
    EXPECT_TRUE(QTest::qWaitFor([&] { return app->sidePanels().sshManagerView() == nullptr; }, 2000));
    EXPECT_FALSE(picker->isMoveUpEnabled());
    app->saveSession();
    EXPECT_TRUE(defaults->boolean("webPickerOpen"));
    EXPECT_FALSE(defaults->boolean("sshManagerOpen"));
}

TEST_F(AppWindow, ASizeAProgramAsksForIsNeverStoredAsTheUsers) {
    launchShown();
    const double storedWidth = defaults->doubleValue("windowWidth");
    const double storedHeight = defaults->doubleValue("windowHeight");
    const QSize before = win()->size();
    view(0)->terminal().process("\x1b[8;12;50t");
    ASSERT_TRUE(QTest::qWaitFor([&] { return win()->size() != before; }, 3000));
    settle();
    EXPECT_DOUBLE_EQ(defaults->doubleValue("windowWidth"), storedWidth);
    EXPECT_DOUBLE_EQ(defaults->doubleValue("windowHeight"), storedHeight);
}
