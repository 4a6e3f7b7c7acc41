#pragma once

// The application controller under test: a real AppDelegate with its window, real shells in real
// pseudo-terminals, a private settings store and a bell that plays nothing and posts nowhere.

#include "app/AppDelegate.h"
#include "app/window/ContentView.h"
#include "bell/BellManager.h"
#include "bell/DesktopNotifications.h"
#include "platform/Defaults.h"
#include "support/AppDelegateTestAccess.h"
#include "support/Waits.h"

#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>
#include <optional>

namespace apptest {

class AppTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Runs the launch: the first tab, or the saved ones.
    void launch();
    // Lets every fade and cross-fade run to its end.
    void settle();

    // The tab at `index`, which must exist.
    TabState& tab(int index) { return app->workspace().tabs().at(index); }
    TerminalView* view(int index) { return tab(index).termView; }
    // Every tab's name, in tab order ("" for none).
    QStringList names() const;
    // Names the tabs "t0", "t1", ... in their current order, to follow them through moves.
    void nameTabsInOrder();

    // The per-tab columns all have one entry per tab, and exactly the active tab's page shows.
    void expectTabsInStep();
    // The header's tab strip as shown: titles and the active item.
    QStringList stripTitles() const;
    int stripActiveIndex() const;

    // A folder inside the test's own folder, created.
    QString folder(const QString& name) const;

    QTemporaryDir dir;
    std::unique_ptr<Defaults> defaults;
    std::unique_ptr<DesktopNotifications> notifications;
    std::unique_ptr<BellManager> bell;
    std::unique_ptr<AppDelegate> app;
    // The answers the file dialog gives, in turn; an empty list answers "cancelled".
    QList<std::optional<QString>> fileAnswers;
    int fileQuestions = 0;
};

// Waits until the pane's shell runs and has printed something.
bool waitForShell(const TerminalView* view, int timeoutMs = 20000);
// Waits until the pane's shell is in `folder`.
bool waitForCwd(const TerminalView* view, const QString& folder, int timeoutMs = 20000);
// Waits until the pane's screen shows `text`.
bool waitForScreenText(const TerminalView* view, const QString& text, int timeoutMs = 20000);
// Waits until `program` (by its process name) runs in the foreground of the pane's terminal.
bool waitForForegroundProgram(const TerminalView* view, const QString& program, int timeoutMs = 20000);
// Waits until the shell itself has the pane's terminal again.
bool waitForShellInForeground(const TerminalView* view, int timeoutMs = 20000);
// Waits until the process has ended (or become a zombie nobody waits for).
bool waitForProcessEnd(pid_t pid, int timeoutMs = 20000);

} // namespace apptest
