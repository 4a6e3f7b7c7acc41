// The tabs of the running controller: opening, closing with the last-tab rule, moving, switching
// with the cross-fade, titles, and the shell ending.
#include "AppTestSupport.h"
#include "app/window/ContentView.h"
#include "chrome/AlertSheetView.h"
#include "chrome/ChromeAnimation.h"
#include "chrome/FooterBarView.h"
#include "chrome/HeaderBarView.h"
#include "chrome/HoverButton.h"

#include <QCursor>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>
#include <QLabel>
#include <QTest>
#include <QVariantAnimation>
#include <algorithm>

using namespace apptest;

namespace {

class AppTabs : public AppTest {
protected:
    // Opens tabs until there are `count`, then names them in order.
    void openTabs(int count) {
        while (app->workspace().tabs().count() < count) app->workspace().addTab();
        nameTabsInOrder();
        settle();
    }
    QString activeName() const { return app->workspace().tabs().active()->customName.value_or(QString()); }
    int sessionWrites = 0;
    void countSessionWrites() {
        QObject::connect(defaults.get(), &Defaults::valueChanged, [this](const QString& key) {
            if (key == QLatin1String("sessionTabs")) ++sessionWrites;
        });
    }
};

} // namespace

TEST_F(AppTabs, TheFirstStartOpensOneTerminalTabAndShowsTheWindow) {
    launch();
    ASSERT_EQ(app->workspace().tabs().count(), 1);
    EXPECT_EQ(tab(0).type, TabType::terminal);
    ASSERT_TRUE(waitForShell(view(0)));
    EXPECT_EQ(view(0)->currentShell(), "/bin/bash");
    EXPECT_TRUE(QTest::qWaitFor([&] { return app->window()->isVisible(); }, 5000))
        << "the window comes out shortly after the launch";
    EXPECT_EQ(defaults->array("sessionTabs").size(), 1) << "the new tab was saved";
    EXPECT_TRUE(internals(*app).footerTimer().isActive());
    EXPECT_EQ(internals(*app).footerTimer().interval(), 2000);
    settle();
    expectTabsInStep();
    // The page lies between the header (under the arrow strip) and the footer.
    const QRect frame = app->termFrame();
    EXPECT_EQ(frame.top(), ContentView::kArrowStripHeight + HeaderBarView::barHeight);
    EXPECT_EQ(frame.bottom() + 1, app->contentView()->height() - FooterBarView::barHeight);
    EXPECT_EQ(tab(0).page()->geometry(), frame);
}

TEST_F(AppTabs, ClosingKeepsTheShownTabAndEveryColumnInStep) {
    launch();
    openTabs(3);
    struct Case {
        int active;
        int closed;
        QStringList remaining;
        QString shown;
    };
    const Case cases[] = {
        {2, 2, {"t0", "t1"}, "t1"}, // the active last tab: the new last one shows
        {2, 0, {"t1", "t2"}, "t2"}, // left of the active one: the same tab stays on show
        {0, 2, {"t0", "t1"}, "t0"}, // right of it: nothing moves
        {1, 1, {"t0", "t2"}, "t2"}, // the active middle one: the tab that took its place
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "active " << c.active << ", closing " << c.closed);
        openTabs(3);
        app->workspace().switchToTab(c.active);
        settle();
        const pid_t closedShell = view(c.closed)->childPid();
        app->workspace().closeTab(c.closed);
        EXPECT_EQ(names(), c.remaining);
        EXPECT_EQ(activeName(), c.shown);
        settle();
        expectTabsInStep();
        EXPECT_TRUE(waitForProcessEnd(closedShell)) << "the closed tab's shell ends";
        EXPECT_EQ(defaults->array("sessionTabs").size(), 2) << "the close was saved";
    }
}

TEST_F(AppTabs, TheLastTabIsNeverClosed) {
    launch();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return app->window()->isVisible() && !app->windowController().isAnimating(); }, 5000));
    app->workspace().closeTab(0);
    EXPECT_EQ(app->workspace().tabs().count(), 1);
    app->workspace().closeCurrentTab();
    EXPECT_EQ(app->workspace().tabs().count(), 1);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !app->window()->isVisible(); }, 5000))
        << "the close command puts the window away instead";
    app->windowController().showWindowAnimated();
    EXPECT_TRUE(app->window()->isVisible());
}

TEST_F(AppTabs, ReorderingKeepsTheSameTabOnShow) {
    launch();
    struct Case {
        int active;
        int from;
        int to;
        QStringList order;
        int activeAfter;
    };
    const Case cases[] = {
        {0, 0, 2, {"t1", "t2", "t0"}, 2},
        {1, 0, 2, {"t1", "t2", "t0"}, 0},
        {1, 2, 0, {"t2", "t0", "t1"}, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "active " << c.active << ", " << c.from << " to " << c.to);
        openTabs(3);
        app->workspace().switchToTab(c.active);
        settle();
        app->workspace().reorderTab(c.from, c.to);
        EXPECT_EQ(names(), c.order);
        EXPECT_EQ(app->workspace().activeTab(), c.activeAfter);
        settle();
        expectTabsInStep();
        QStringList saved;
        for (const QVariant& entry : defaults->array("sessionTabs"))
            saved << entry.toMap().value("customName").toString();
        EXPECT_EQ(saved, c.order) << "the new order was saved";
    }
    // Requests outside the tabs change nothing.
    const QStringList before = names();
    app->workspace().reorderTab(0, 3);
    app->workspace().reorderTab(-1, 0);
    app->workspace().reorderTab(1, 1);
    EXPECT_EQ(names(), before);
}

TEST_F(AppTabs, PreviousAndNextWrapAroundAndNumberedItemsNeedTheirTab) {
    launch();
    openTabs(2);
    app->workspace().switchToTab(0);
    internals(*app).footerView()->onPrevTab();
    EXPECT_EQ(app->workspace().activeTab(), 1) << "before the first comes the last";
    internals(*app).footerView()->onNextTab();
    EXPECT_EQ(app->workspace().activeTab(), 0) << "after the last comes the first";
    internals(*app).footerView()->onNextTab();
    EXPECT_EQ(app->workspace().activeTab(), 1);
    app->perform(Action::switchToTab3);
    EXPECT_EQ(app->workspace().activeTab(), 1) << "there is no third tab";
    app->perform(Action::switchToTab1);
    EXPECT_EQ(app->workspace().activeTab(), 0);
    app->perform(Action::switchToTab2);
    EXPECT_EQ(app->workspace().activeTab(), 1);
    for (int outside : {-1, 2, 99}) app->workspace().switchToTab(outside);
    EXPECT_EQ(app->workspace().activeTab(), 1);
    settle();
    expectTabsInStep();
}

// Control+Shift with a digit renames a tab that exists, starting from its custom name.
TEST_F(AppTabs, RenamingByNumberNeedsTheTabAndStartsFromItsCustomName) {
    launch();
    openTabs(2);
    app->workspace().renameTab(1, QStringLiteral("build"));
    // The window has the keyboard, so the rename field keeps it until the controller goes; the
    // rename left open must not bring the teardown down.
    QTRY_VERIFY(app->window()->isActiveWindow());
    app->perform(Action::renameTab5);
    EXPECT_EQ(internals(*app).headerView()->editingTabIndex(), std::nullopt) << "there is no fifth tab";
    app->perform(Action::renameTab2);
    EXPECT_EQ(internals(*app).headerView()->editingTabIndex(), 1);
    ASSERT_NE(internals(*app).headerView()->editField(), nullptr);
    EXPECT_EQ(internals(*app).headerView()->editField()->text(), "build");
    EXPECT_TRUE(internals(*app).headerView()->editField()->hasFocus());
}

TEST_F(AppTabs, SwitchingBackWithinTheCrossFadeLeavesTheActiveTabShown) {
    launch();
    openTabs(3);
    const QList<QList<int>> sequences{{0, 2}, {1, 2, 1}, {0, 1, 0}, {2, 0, 2, 0}};
    for (const QList<int>& sequence : sequences) {
        SCOPED_TRACE(testing::Message() << "switches "
                                        << QStringList([&] {
                                               QStringList s;
                                               for (int i : sequence) s << QString::number(i);
                                               return s;
                                           }())
                                               .join(' ')
                                               .toStdString());
        // Each switch comes before the previous fade (0.15 s) has ended: the fades are moved a
        // fifth of the way on, as frames would, but never to their end.
        for (int index : sequence) {
            app->workspace().switchToTab(index);
            for (QVariantAnimation* fade : app->window()->findChildren<QVariantAnimation*>())
                if (fade->state() == QAbstractAnimation::Running && fade->totalDuration() > 0)
                    fade->setCurrentTime(std::min(fade->currentTime() + 30, fade->totalDuration() - 1));
        }
        settle();
        expectTabsInStep();
        EXPECT_EQ(app->workspace().activeTab(), sequence.last());
        EXPECT_DOUBLE_EQ(chrome::widgetAlpha(app->workspace().tabs().active()->page()), 1.0);
    }
}

TEST_F(AppTabs, AShellEndingClosesItsTabAndTheLastOneAsksToQuit) {
    launch();
    openTabs(2);
    ASSERT_TRUE(waitForShell(view(1)));
    view(1)->writePTY(QStringLiteral("exit\n"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return app->workspace().tabs().count() == 1; }, 20000));
    settle();
    expectTabsInStep();

    bool quit = false;
    internals(*app).termination().quitApplication = [&quit](int) { quit = true; };
    ASSERT_TRUE(waitForShell(view(0)));
    view(0)->writePTY(QStringLiteral("exit\n"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return internals(*app).termination().confirmation() != nullptr; }, 20000))
        << "the end of the last shell asks to quit";
    EXPECT_EQ(app->workspace().tabs().count(), 1) << "the last tab stays";
    EXPECT_EQ(internals(*app).termination().confirmation()->parentWidget(), app->contentView())
        << "a sheet on the window's content";
    QTest::keyClick(app->window(), Qt::Key_Escape);
    ASSERT_TRUE(QTest::qWaitFor([&] { return internals(*app).termination().confirmation() == nullptr; }, 5000));
    EXPECT_FALSE(quit);
    EXPECT_EQ(app->workspace().tabs().count(), 1);
    // Staying gives the tab a new shell, and says so on its screen.
    EXPECT_TRUE(waitForScreenText(view(0), QStringLiteral("a new one was started")));
    view(0)->writePTY(QStringLiteral("echo alive-$((6*7))\r"));
    EXPECT_TRUE(waitForScreenText(view(0), QStringLiteral("alive-42")));
}

TEST_F(AppTabs, ClosingATabOrSwitchingItsShellAsksWhileAProgramRunsInIt) {
    launch();
    openTabs(2);
    TerminalView* pane = view(1);
    ASSERT_TRUE(waitForShell(pane));
    pane->writePTY(QStringLiteral("sleep 600\r"));
    ASSERT_TRUE(waitForForegroundProgram(pane, QStringLiteral("sleep")));
    const pid_t shell = pane->childPid();
    auto sheet = [&] { return app->contentView()->findChild<AlertSheetView*>(); };

    // The footer's shell item (the pane's own keys take the same path).
    app->workspace().switchShellOfActivePane(0);
    ASSERT_NE(sheet(), nullptr);
    EXPECT_TRUE(sheet()->message().contains(QStringLiteral("sleep"))) << sheet()->message().toStdString();
    QTest::keyClick(sheet(), Qt::Key_Escape);
    ASSERT_TRUE(QTest::qWaitFor([&] { return sheet() == nullptr; }, 5000));
    EXPECT_EQ(pane->childPid(), shell) << "Cancel keeps the shell and its program";

    app->workspace().closeTab(1);
    ASSERT_NE(sheet(), nullptr) << "closing asks too";
    QTest::keyClick(sheet(), Qt::Key_Return);
    ASSERT_TRUE(QTest::qWaitFor([&] { return sheet() == nullptr; }, 5000));
    EXPECT_EQ(app->workspace().tabs().count(), 2) << "Return is Cancel";

    app->workspace().closeTab(1);
    ASSERT_NE(sheet(), nullptr);
    sheet()->choose(0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return app->workspace().tabs().count() == 1; }, 5000)) << "End closes it";
    EXPECT_TRUE(waitForProcessEnd(shell));

    // A tab whose shell has the terminal closes at once.
    openTabs(2);
    ASSERT_TRUE(waitForShell(view(1)));
    app->workspace().closeTab(1);
    EXPECT_EQ(sheet(), nullptr);
    EXPECT_EQ(app->workspace().tabs().count(), 1);
}

TEST_F(AppTabs, TitlesFollowTheShellsFolderUnlessTheTabIsNamed) {
    launch();
    countSessionWrites();
    ASSERT_TRUE(waitForShell(view(0)));
    EXPECT_EQ(stripTitles(), QStringList{"~"}) << "the home folder, as soon as the shell runs";
    const QString deep = folder("projects/dunmar");
    view(0)->writePTY(QStringLiteral("cd '%1'\n").arg(deep));
    ASSERT_TRUE(waitForCwd(view(0), deep));
    app->workspace().updateHeaderTabs();
    EXPECT_EQ(stripTitles(), QStringList{"dunmar"}) << "the folder's last component";

    app->workspace().renameTab(0, QStringLiteral("server"));
    EXPECT_EQ(stripTitles(), QStringList{"server"});
    EXPECT_EQ(sessionWrites, 1) << "a rename is saved";
    app->workspace().renameTab(5, QStringLiteral("stale"));
    EXPECT_EQ(names(), QStringList{"server"}) << "a stale index renames nothing";
    EXPECT_EQ(sessionWrites, 1) << "and saves nothing";
    internals(*app).headerView()->onTabRenamed(0, std::nullopt);
    EXPECT_EQ(stripTitles(), QStringList{"dunmar"}) << "no name: the folder again";

    // A modified editor tab carries the mark until it is saved.
    app->workspace().createEditorTab();
    tab(1).editorView->textView()->insertPlainText(QStringLiteral("draft"));
    EXPECT_EQ(stripTitles(), (QStringList{"dunmar", "\u2022 Editor"}));
    fileAnswers << QDir(deep).filePath("notes.txt");
    bool saved = false;
    app->workspace().saveEditorOfTab(1, false, [&](bool ok) { saved = ok; });
    ASSERT_TRUE(saved);
    EXPECT_EQ(stripTitles(), (QStringList{"dunmar", "notes.txt"}));
}

TEST_F(AppTabs, NewTabsTakeShellFolderColourAndHistoryName) {
    const struct {
        qint64 index;
        const char* shell;
    } shells[] = {{0, "/bin/zsh"}, {1, "/bin/bash"}, {2, "/bin/sh"}, {7, "/bin/zsh"}, {-1, "/bin/zsh"}};
    for (const auto& s : shells) {
        defaults->setValue("defaultShellIndex", s.index);
        EXPECT_EQ(app->workspace().defaultShell(), s.shell) << "index " << s.index;
    }
    defaults->setValue("defaultShellIndex", 1);
    launch();
    const QString work = folder("work");
    app->workspace().createTab("/bin/sh", work, 0.5, QStringLiteral("history-7"));
    ASSERT_EQ(app->workspace().tabs().count(), 2);
    EXPECT_EQ(view(1)->currentShell(), "/bin/sh");
    EXPECT_TRUE(waitForCwd(view(1), work));
    EXPECT_EQ(view(1)->tabId(), "history-7");
    EXPECT_NEAR(*tabColorHue(tab(1).color), 0.5, 1e-4);
    EXPECT_EQ(app->workspace().activeTab(), 1);
    app->workspace().addTab();
    app->workspace().addTab();
    EXPECT_NE(tab(2).color, tab(3).color) << "without a hue the colour is drawn at random";
}

TEST_F(AppTabs, ToastsAndTheVersionLabelStayAboveNewPages) {
    launch();
    QWidget* toast = app->showGenericToast("UPDATE", "Version 1.1 is ready", Qt::blue, 60);
    ASSERT_NE(toast, nullptr);
    app->workspace().addTab();
    app->workspace().createEditorTab();
    app->workspace().switchToTab(0);
    const QObjectList stack = app->contentView()->children();
    for (int i = 0; i < app->workspace().tabs().count(); ++i) {
        EXPECT_LT(stack.indexOf(static_cast<QObject*>(tab(i).page())),
                  stack.indexOf(static_cast<QObject*>(toast)))
            << "page " << i;
        EXPECT_LT(stack.indexOf(static_cast<QObject*>(tab(i).page())),
                  stack.indexOf(static_cast<QObject*>(internals(*app).versionButton())))
            << "page " << i;
    }
}

TEST_F(AppTabs, TheWindowTakesItsStoredSizeWithinTheScreen) {
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const int maxH = std::max(screen.height() - 4, 220);
    struct Case {
        QVariant width, height;
        QSize expected;
        bool writtenBack;
    };
    const Case cases[] = {
        {QVariant(), QVariant(), QSize(860, 480), false}, // never set
        {100.0, 50.0, QSize(860, 480), false},            // too small to count
        {5000.0, 300.0, QSize(screen.width(), 300), true},
        {400.0, 9000.0, QSize(400, maxH), true},
        {500.0, 300.0, QSize(500, 300), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width.toDouble() << " x " << c.height.toDouble());
        TearDown();
        QFile::remove(dir.filePath("defaults.json")); // each case starts from nothing stored
        SetUp();
        if (c.width.isValid()) defaults->setValue("windowWidth", c.width);
        if (c.height.isValid()) defaults->setValue("windowHeight", c.height);
        launch();
        // The window then hangs within the screen.
        EXPECT_EQ(app->window()->size(), c.expected.boundedTo(screen.size()));
        if (c.writtenBack) {
            EXPECT_DOUBLE_EQ(defaults->doubleValue("windowWidth"), c.expected.width());
            EXPECT_DOUBLE_EQ(defaults->doubleValue("windowHeight"), c.expected.height());
        } else {
            EXPECT_EQ(defaults->object("windowWidth"), c.width);
        }
    }
}

TEST_F(AppTabs, LosingTheKeyboardHidesTheWindowOnlyWhenTheSettingAsks) {
    launch();
    ASSERT_TRUE(QTest::qWaitFor([&] { return app->window()->isVisible(); }, 5000));
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    QCursor::setPos(screen.center());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !app->windowController().isAnimating(); }, 5000));
    app->applicationDidResignActive();
    settle();
    EXPECT_TRUE(app->window()->isVisible()) << "the setting is off by default";
    defaults->setValue("hideOnDeactivate", true);
    app->applicationDidResignActive();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !app->window()->isVisible(); }, 5000));
}

TEST_F(AppTabs, ATabsOwnPaneGetsHistorySuggestionsToo) {
    // The main pane's first-output handler was replaced by the tab's, so only split panes loaded
    // the history.
    const QString historyFile = QDir::home().filePath(".bash_history");
    ASSERT_FALSE(QFile::exists(historyFile)) << "the test home already has a history";
    {
        QFile file(historyFile);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("echo from-the-history\n");
    }
    launch();
    const bool loaded =
        QTest::qWaitFor([&] { return view(0)->historyEntries().contains("echo from-the-history"); }, 20000);
    QFile::remove(historyFile);
    EXPECT_TRUE(loaded);
}

TEST_F(AppTabs, AMissingShellIsReplacedAndTheUserToldOnce) {
    launch();
    const QString missing = dir.filePath("no-such-shell");
    app->workspace().createTab(missing);
    ASSERT_TRUE(waitForShell(view(1))) << "another shell runs in its place";
    EXPECT_NE(view(1)->currentShell(), missing);
    QWidget* toast = app->toasts().toast(QStringLiteral("shellMissingToast"));
    ASSERT_NE(toast, nullptr);
    QString shown;
    for (const QLabel* label : toast->findChildren<QLabel*>()) shown += label->text();
    EXPECT_TRUE(shown.contains(QStringLiteral("no-such-shell"))) << shown.toStdString();

    toast->deleteLater();
    ASSERT_TRUE(QTest::qWaitFor([&] { return app->toasts().toast(QStringLiteral("shellMissingToast")) == nullptr; }, 5000));
    app->workspace().createTab(missing);
    EXPECT_EQ(app->toasts().toast(QStringLiteral("shellMissingToast")), nullptr) << "once is enough";
}

TEST_F(AppTabs, CommandsOfPartsNotBuiltYetSaySoInAToast) {
    launch();
    const auto toast = [&] { return app->toasts().toast(QStringLiteral("notAvailableToast")); };
    // The palette's service is installed by the program's entry point, not by the controller.
    for (const Action action : {Action::toggleCommandPalette}) {
        ASSERT_EQ(toast(), nullptr);
        app->perform(action);
        QWidget* shown = toast();
        ASSERT_NE(shown, nullptr) << actions::name(action);
        QString text;
        for (const QLabel* label : shown->findChildren<QLabel*>()) text += label->text();
        EXPECT_TRUE(text.contains(QStringLiteral("Not available yet"))) << text.toStdString();
        delete shown;
    }
}
