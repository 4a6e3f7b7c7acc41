#include "ChromeTestSupport.h"
#include "chrome/BadgeButton.h"
#include "chrome/ChromeController.h"
#include "chrome/FooterBarView.h"
#include "chrome/GearButton.h"
#include "chrome/HorizontalScrollArea.h"
#include "chrome/QuitButton.h"
#include "chrome/ShellButton.h"
#include "chrome/SymbolHoverButton.h"
#include "chrome/UsageBadge.h"
#include "localisation/Loc.h"
#include "localisation/LocBinding.h"
#include "platform/Defaults.h"

#include <QMouseEvent>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

using namespace chrometest;

namespace {

// Run by hand, outside CTest, the tests still keep away from the user's own settings.
const bool kPrivateSettings = [] {
    if (qEnvironmentVariableIsEmpty("XDG_CONFIG_HOME")) {
        static QTemporaryDir dir;
        qputenv("XDG_CONFIG_HOME", dir.path().toUtf8());
    }
    return true;
}();

// Stands in for the usage monitor's badge: a fixed size and a click.
class FakeBadge : public UsageBadge {
public:
    QSize sizeHint() const override { return QSize(64, 20); }

protected:
    void mousePressEvent(QMouseEvent*) override {
        if (onClick) onClick();
    }
};

// A window that records the presses that reach it.
class Window : public QWidget {
public:
    int presses = 0;

protected:
    void mousePressEvent(QMouseEvent* e) override {
        ++presses;
        e->accept();
    }
};

struct FooterFixture {
    std::unique_ptr<Window> window = std::make_unique<Window>();
    FooterBarView* footer;
    explicit FooterFixture(int width, bool showUsage = false) {
        Defaults::standard().setValue(QStringLiteral("showAIUsage"), showUsage);
        footer = new FooterBarView(window.get());
        window->resize(width, 300);
        footer->setGeometry(0, 300 - FooterBarView::barHeight, width, FooterBarView::barHeight);
        window->show();
    }
};

} // namespace

TEST(FooterBar, NarrowWindowSharesTheWidthAndKeepsQuitInView) {
    FooterFixture f(300);
    FooterBarView& bar = *f.footer;
    EXPECT_EQ(bar.leftScroll()->geometry(), QRect(0, 0, 120, 44));
    EXPECT_EQ(bar.rightScroll()->geometry(), QRect(120, 0, 180, 44));
    const int contentWidth = bar.rightContent()->width();
    EXPECT_GT(contentWidth, 180);
    EXPECT_EQ(bar.rightScroll()->scrollX(), contentWidth - 180);
    // The quit button sits 16 pixels inside the visible right end.
    const QRect quit = bar.quitButton()->frame();
    EXPECT_EQ(quit.right() + 1 + 16, contentWidth);
    EXPECT_EQ(quit.y(), 8); // 2 pixels above the middle of the 44-pixel bar
    EXPECT_EQ(bar.gearButton()->frame(), quit.translated(-28, 0));
}

TEST(FooterBar, ShellButtonsStartAt20WithoutTheUsageBadge) {
    FooterFixture f(1200);
    FooterBarView& bar = *f.footer;
    const QList<ShellButton*>& shells = bar.shellButtons();
    for (int i = 0; i < 3; ++i) EXPECT_EQ(shells[i]->geometry(), QRect(20 + 74 * i, 8, 70, 24));
    EXPECT_EQ(bar.leftContent()->width(), 20 + 3 * 74 + 20);

    // A badge comes first, 12 pixels before the shells, while "showAIUsage" is on.
    auto* badge = new FakeBadge;
    int badgeClicks = 0;
    bar.onUsageBadgeClick = [&] { ++badgeClicks; };
    bar.setUsageBadge(badge);
    EXPECT_TRUE(badge->isHidden());
    Defaults::standard().setValue(QStringLiteral("showAIUsage"), true);
    bar.refreshUsageBadgeVisibility();
    EXPECT_EQ(badge->geometry(), QRect(20, 10, 64, 20));
    EXPECT_EQ(shells[0]->x(), 20 + 64 + 12);
    click(badge);
    EXPECT_EQ(badgeClicks, 1);
    Defaults::standard().setValue(QStringLiteral("showAIUsage"), false);
}

TEST(FooterBar, RunningShellMarksItsButton) {
    FooterFixture f(1200);
    FooterBarView& bar = *f.footer;
    bar.update(QStringLiteral("/bin/bash"), 4242);
    EXPECT_FALSE(bar.shellButtons()[0]->isActiveShell());
    EXPECT_TRUE(bar.shellButtons()[1]->isActiveShell());
    bar.update(QStringLiteral("/usr/bin/fish"), 1);
    for (ShellButton* b : bar.shellButtons()) EXPECT_FALSE(b->isActiveShell());

    int chosen = -1;
    bar.onSwitchShell = [&](int i) { chosen = i; };
    click(bar.shellButtons()[2]);
    EXPECT_EQ(chosen, 2);
}

TEST(FooterBar, EditorModeSwapsTheButtons) {
    FooterFixture f(1400);
    FooterBarView& bar = *f.footer;
    bar.setEditorMode(true);
    for (ShellButton* b : bar.shellButtons()) EXPECT_TRUE(b->isHidden());
    for (ShellButton* b : bar.editorModeButtons()) EXPECT_FALSE(b->isHidden());
    const QList<BadgeButton*>& badges = bar.tabShortcutBadges();
    const bool hiddenInEditor[] = {true, false, false, true, true, false};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(badges[i]->isHidden(), hiddenInEditor[i]) << i;
    EXPECT_FALSE(bar.formatButton()->isHidden());
    // The format button sits between print and gear.
    EXPECT_EQ(bar.formatButton()->frame().x(), bar.printerButton()->frame().x() + 32);
    EXPECT_EQ(bar.gearButton()->frame().x(), bar.formatButton()->frame().x() + 28);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(bar.editorModeButtons()[i]->geometry(), QRect(20 + 58 * i, 8, 54, 24));

    EditorInputMode reported = EditorInputMode::normal;
    bar.onEditorModeChange = [&](EditorInputMode m) { reported = m; };
    click(bar.editorModeButtons()[2]);
    EXPECT_EQ(reported, EditorInputMode::vim);
    EXPECT_TRUE(bar.editorModeButtons()[2]->isActiveShell());
    EXPECT_FALSE(bar.editorModeButtons()[0]->isActiveShell());

    bar.setEditorMode(false);
    for (BadgeButton* b : badges) EXPECT_FALSE(b->isHidden());
    EXPECT_TRUE(bar.formatButton()->isHidden());
}

TEST(FooterBar, BadgesAndToolsRunTheirCallbacks) {
    FooterFixture f(1400);
    FooterBarView& bar = *f.footer;
    QStringList ran;
    bar.onToggleWindow = [&] { ran << "toggle"; };
    bar.onSwitchSplitPane = [&] { ran << "pane"; };
    bar.onNewTab = [&] { ran << "new"; };
    bar.onNewEditorTab = [&] { ran << "editor"; };
    bar.onCloseTab = [&] { ran << "close"; };
    bar.onSplitV = [&] { ran << "splitV"; };
    bar.onSplitH = [&] { ran << "splitH"; };
    bar.onPrint = [&] { ran << "print"; };
    bar.onSettings = [&] { ran << "settings"; };
    click(bar.toggleBadge());
    for (BadgeButton* b : bar.tabShortcutBadges()) click(b);
    click(bar.printerButton());
    click(bar.gearButton());
    EXPECT_EQ(ran, (QStringList{"toggle", "pane", "new", "editor", "close", "splitV", "splitH", "print",
                                "settings"}));

    // Quit goes to the controller, when there is one.
    click(bar.quitButton());
    struct Controller : ChromeController {
        int quits = 0;
        bool isWindowDetached() const override { return false; }
        void handleQuitRequest() override { ++quits; }
    } controller;
    ChromeController::install(&controller);
    click(bar.quitButton());
    EXPECT_EQ(controller.quits, 1);
    ChromeController::install(nullptr);
}

TEST(FooterBar, EdgePressesPassThroughToTheWindow) {
    FooterFixture f(800);
    FooterBarView& bar = *f.footer;
    const int top = 300 - 44;
    struct Case {
        QPoint inBar;
        bool passes;
        Qt::CursorShape cursor;
    };
    for (const Case& c : {Case{{795, 22}, true, Qt::SizeHorCursor}, Case{{4, 22}, true, Qt::SizeHorCursor},
                          Case{{400, 40}, true, Qt::SizeVerCursor}, Case{{5, 40}, true, Qt::SizeBDiagCursor},
                          Case{{795, 40}, true, Qt::SizeFDiagCursor}, Case{{785, 30}, true, Qt::ArrowCursor},
                          Case{{400, 22}, false, Qt::ArrowCursor}, Case{{15, 22}, false, Qt::ArrowCursor}}) {
        EXPECT_EQ(bar.passesThrough(c.inBar), c.passes) << c.inBar.x() << "," << c.inBar.y();
        QWidget* target = f.window->childAt(c.inBar + QPoint(0, top));
        ASSERT_NE(target, nullptr);
        EXPECT_EQ(target->cursor().shape(), c.cursor) << c.inBar.x() << "," << c.inBar.y();
        const int before = f.window->presses;
        const QPoint local = target->mapFrom(f.window.get(), c.inBar + QPoint(0, top));
        press(target, local);
        EXPECT_EQ(f.window->presses - before, c.passes ? 1 : 0) << c.inBar.x() << "," << c.inBar.y();
    }
}

// The key caps, the shell buttons and their tooltips show the chords of the bindings table: the
// ones that work on this desktop, not the Super chords.
TEST(FooterBar, KeyCapsAndShellButtonsShowTheChordsThatWork) {
    FooterFixture f(1400);
    FooterBarView& bar = *f.footer;
    const struct {
        const char* keys;
        const char* label;
        const char* tooltip;
    } caps[] = {
        {"⌥", "⇥", "Alt+Tab"},       {"^⇧", "T", "Ctrl+Shift+T"}, {"^⇧", "E", "Ctrl+Shift+E"},
        {"^⇧", "W", "Ctrl+Shift+W"}, {"^⇧", "D", "Ctrl+Shift+D"}, {"^⇧⌥", "D", "Ctrl+Shift+Alt+D"},
    };
    const QList<BadgeButton*>& badges = bar.tabShortcutBadges();
    ASSERT_EQ(badges.size(), 6);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(badges[i]->keys(), QString::fromUtf8(caps[i].keys)) << i;
        EXPECT_EQ(badges[i]->label(), QString::fromUtf8(caps[i].label)) << i;
        EXPECT_EQ(badges[i]->toolTip(), QString::fromUtf8(caps[i].tooltip)) << i;
    }
    const char* shells[][2] = {
        {"^⌥ 1 zsh", "Ctrl+Alt+1"}, {"^⌥ 2 bash", "Ctrl+Alt+2"}, {"^⌥ 3 sh", "Ctrl+Alt+3"}};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(bar.shellButtons()[i]->accessibleName(), QString::fromUtf8(shells[i][0])) << i;
        EXPECT_EQ(bar.shellButtons()[i]->toolTip(), QString::fromUtf8(shells[i][1])) << i;
    }
    EXPECT_EQ(bar.formatButton()->toolTip(), qs(Loc::tooltipFormatDoc()) + QStringLiteral(" (Shift+Alt+F)"));
}
