#include "AppTestSupport.h"

#include "chrome/HeaderBarView.h"
#include "chrome/TabItemView.h"
#include "platform/ProcessCwd.h"
#include "support/Waits.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDir>
#include <QFile>
#include <QTest>
#include <csignal>
#include <unistd.h>

namespace apptest {

void AppTest::SetUp() {
    ASSERT_TRUE(dir.isValid());
    defaults = std::make_unique<Defaults>(dir.filePath("defaults.json"));
    // bash starts quickly and exists everywhere the tests run.
    defaults->setValue("defaultShellIndex", 1);
    notifications =
        std::make_unique<DesktopNotifications>(QDBusConnection(QStringLiteral("app-tests-no-bus")));
    bell = std::make_unique<BellManager>(*defaults, *notifications, dir.filePath("no-sounds"));
    app = std::make_unique<AppDelegate>(*defaults);
    app->setBellManager(bell.get());
    app->workspace().chooseFile = [this](Workspace::FileChoice, const QString&) -> std::optional<QString> {
        ++fileQuestions;
        if (fileAnswers.isEmpty()) return std::nullopt;
        return fileAnswers.takeFirst();
    };
}

void AppTest::TearDown() {
    app.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    bell.reset();
    notifications.reset();
    defaults.reset();
}

void AppTest::launch() {
    app->applicationDidFinishLaunching();
    ASSERT_FALSE(app->workspace().tabs().isEmpty());
}

void AppTest::settle() {
    // The window's fades are children of its widgets; the controller owns the frame and dimming ones.
    ASSERT_TRUE(testsupport::waitForAnimationsToEnd({app.get()}));
}

QStringList AppTest::names() const {
    QStringList out;
    for (const auto& name : app->workspace().tabs().tabCustomNames()) out << name.value_or(QString());
    return out;
}

void AppTest::nameTabsInOrder() {
    for (int i = 0; i < app->workspace().tabs().count(); ++i) app->workspace().tabs().at(i).customName = QStringLiteral("t%1").arg(i);
}

void AppTest::expectTabsInStep() {
    const TabList& tabs = app->workspace().tabs();
    const size_t n = size_t(tabs.count());
    for (size_t length :
         {tabs.termViews().size(), tabs.tabTypes().size(), tabs.tabEditorViews().size(),
          tabs.tabEditorModes().size(), tabs.tabEditorURLs().size(), tabs.tabEditorDirty().size(),
          tabs.tabHasBell().size(), tabs.tabPreviewActive().size(), tabs.splitContainers().size(),
          tabs.tabColors().size(), tabs.tabCustomNames().size(), tabs.tabGitPositions().size(),
          tabs.tabGitPanels().size(), tabs.tabGitDividers().size(), tabs.tabGitRatios().size(),
          tabs.tabGitRatiosV().size(), tabs.tabGitRatiosH().size()})
        EXPECT_EQ(length, n);
    ASSERT_TRUE(tabs.contains(tabs.activeTab()));
    for (int i = 0; i < tabs.count(); ++i) {
        const TabState& t = tabs.at(i);
        ASSERT_NE(t.page(), nullptr) << "tab " << i;
        EXPECT_EQ(t.page()->isVisibleTo(app->contentView()), i == tabs.activeTab()) << "page of tab " << i;
        EXPECT_EQ(t.type == TabType::terminal, t.termView != nullptr && t.splitContainer != nullptr);
        EXPECT_EQ(t.type == TabType::editor, t.editorView != nullptr);
    }
    EXPECT_EQ(stripTitles().size(), tabs.count());
    EXPECT_EQ(stripActiveIndex(), tabs.activeTab());
}

QStringList AppTest::stripTitles() const {
    QStringList out;
    for (const auto& item : internals(*app).headerView()->tabItems())
        if (item) out << item->title();
    return out;
}

int AppTest::stripActiveIndex() const {
    const auto& items = internals(*app).headerView()->tabItems();
    for (int i = 0; i < items.size(); ++i)
        if (items[i] && items[i]->isActive()) return i;
    return -1;
}

QString AppTest::folder(const QString& name) const {
    const QString path = QDir(dir.path()).filePath(name);
    QDir().mkpath(path);
    return QDir(path).canonicalPath();
}

bool waitForShell(const TerminalView* view, int timeoutMs) {
    return view && QTest::qWaitFor([view] { return view->childPid() > 0 && view->shellReady(); }, timeoutMs);
}

bool waitForCwd(const TerminalView* view, const QString& folder, int timeoutMs) {
    return view &&
           QTest::qWaitFor(
               [view, folder] { return view->childPid() > 0 && cwdForPid(view->childPid()) == folder; },
               timeoutMs);
}

bool waitForProcessEnd(pid_t pid, int timeoutMs) {
    return QTest::qWaitFor(
        [pid] {
            if (::kill(pid, 0) != 0) return true;
            // A zombie has ended; its parent reaps it in its own time.
            QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
            if (!stat.open(QIODevice::ReadOnly)) return true;
            const QByteArray text = stat.readAll();
            const int close = text.lastIndexOf(')');
            return close > 0 && text.mid(close + 2, 1) == "Z";
        },
        timeoutMs);
}

bool waitForShellInForeground(const TerminalView* view, int timeoutMs) {
    return QTest::qWaitFor([&] { return ::tcgetpgrp(view->masterFd()) == ::getpgid(view->childPid()); },
                           timeoutMs);
}

} // namespace apptest

namespace apptest {

bool waitForScreenText(const TerminalView* view, const QString& text, int timeoutMs) {
    return QTest::qWaitFor(
        [&] {
            const Terminal& terminal = view->terminal();
            for (std::int64_t y = 0; y < terminal.rows(); ++y) {
                QString line;
                for (const Cell& cell : terminal.gridRow(y))
                    if (cell.width != 0) {
                        const char32_t ch = cell.ch ? cell.ch : U' ';
                        line += QString::fromUcs4(&ch, 1);
                    }
                if (line.contains(text)) return true;
            }
            return false;
        },
        timeoutMs);
}

bool waitForForegroundProgram(const TerminalView* view, const QString& program, int timeoutMs) {
    return QTest::qWaitFor(
        [&] {
            const pid_t foreground = ::tcgetpgrp(view->masterFd());
            if (foreground <= 0 || foreground == ::getpgid(view->childPid())) return false;
            // Until the job's exec the group's leader is still a copy of the shell.
            QFile comm(QStringLiteral("/proc/%1/comm").arg(foreground));
            return comm.open(QIODevice::ReadOnly) && QString::fromUtf8(comm.readAll()).trimmed() == program;
        },
        timeoutMs);
}

} // namespace apptest
