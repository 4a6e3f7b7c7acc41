#pragma once

#include "bell/BellHost.h"
#include "bell/BellManager.h"
#include "bell/BellPane.h"
#include "bell/DesktopNotifications.h"
#include "engine/Terminal.h"
#include "platform/Defaults.h"

#include <QByteArray>
#include <QDBusConnection>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <QWidget>
#include <chrono>
#include <gtest/gtest.h>
#include <memory>
#include <string_view>
#include <vector>

// What the bell tests share: a stand-in for the application controller (which is built
// elsewhere), a pane whose screen is a real terminal engine fed by the test, a private session bus
// with a recording notification daemon, and a fixture that wires a bell manager to them.
namespace belltest {

// A pane with a real Terminal; the test feeds its screen and reads what was written to its shell.
class ScreenPane : public QObject, public BellPane {
public:
    explicit ScreenPane(QString id, QObject* parent = nullptr) : QObject(parent), id_(std::move(id)) {}

    void show(std::string_view bytes) { terminal.process(bytes); }

    QObject* bellPaneObject() override { return this; }
    QString bellPaneId() const override { return id_; }
    QStringList lastScreenLines(int count) const override { return extractLastLines(terminal, count); }
    bool applicationCursorMode() const override { return terminal.mode(Mode::appCursor); }
    void writeToShell(const QByteArray& bytes) override { written += bytes; }

    Terminal terminal{80, 24};
    QByteArray written;

private:
    QString id_;
};

// The controller's side: tabs with a primary and an optional second pane, the window's state, and
// a record of what the bell asked for.
class FakeBellHost : public BellHost {
public:
    struct Tab {
        BellPane* primary = nullptr;
        BellPane* second = nullptr;
        QString customName;
        bool bellMark = false;
    };

    std::vector<Tab> tabs;
    int activeTab = 0;
    bool visible = true;
    qreal alpha = 1.0;
    bool key = true;
    bool onCurrentDesktop = true;
    QWidget* content = nullptr;
    int previewTop = 44;

    QList<bool> dimmedStates;
    QList<int> markedTabs;
    QList<int> previewHeights;
    int focusTerminalCount = 0;
    QList<BellPane*> windowRequests;
    int windowRequestCount = 0;

    void hide() {
        visible = false;
        key = false;
        alpha = 0.0;
    }
    void showInFront() {
        visible = true;
        key = true;
        alpha = 1.0;
    }

    bool isWindowVisible() const override { return visible; }
    qreal windowAlpha() const override { return alpha; }
    bool isWindowKey() const override { return key; }
    bool isWindowOnCurrentDesktop() const override { return onCurrentDesktop; }
    bool isPaneOnShow(const BellPane& pane) const override {
        if (activeTab < 0 || activeTab >= int(tabs.size())) return false;
        const Tab& tab = tabs[std::size_t(activeTab)];
        return tab.primary == &pane || tab.second == &pane;
    }
    std::optional<int> tabIndexOfPrimaryPane(const BellPane& pane) const override {
        for (std::size_t i = 0; i < tabs.size(); ++i)
            if (tabs[i].primary == &pane) return int(i);
        return std::nullopt;
    }
    QString tabCustomName(int index) const override {
        return index >= 0 && index < int(tabs.size()) ? tabs[std::size_t(index)].customName : QString();
    }
    bool markTabBell(int index) override {
        if (index < 0 || index >= int(tabs.size())) return false;
        tabs[std::size_t(index)].bellMark = true;
        markedTabs << index;
        return true;
    }
    void setStatusItemDimmed(bool dimmed) override { dimmedStates << dimmed; }
    QWidget* bellPreviewParent() override { return content; }
    int bellPreviewTop() const override { return previewTop; }
    void bellPreviewHeightChanged(int height, int, const QEasingCurve&) override { previewHeights << height; }
    void focusActiveTerminal() override { ++focusTerminalCount; }
    void showWindowForNotification(BellPane* pane) override {
        windowRequests << pane;
        ++windowRequestCount;
    }
};

// A private session bus with python-dbusmock's notification daemon on it, started on first use and
// stopped when the test program ends. The test's connection to it is also the one the client under
// test uses, so a query sent after a post is answered after the post was handled.
class NotificationDaemon {
public:
    struct Notify {
        QString appName;
        quint32 replacesId = 0;
        QString summary;
        QString body;
        QStringList actions;
    };

    // The daemon, started on first use.
    static NotificationDaemon& shared();
    // The daemon as it is, started or not.
    static NotificationDaemon& instance();

    bool isRunning() const { return running_; }
    QString failure() const { return failure_; }
    QDBusConnection connection() const;
    QString logPath() const;

    // Every Notify call the daemon received since the last clearCalls().
    QList<Notify> notifyCalls() const;
    void clearCalls();
    // As if the user clicked notification `id`.
    void emitActionInvoked(quint32 id, const QString& action = QStringLiteral("default"));
    void stop();

private:
    NotificationDaemon();
    bool start();

    QProcess bus_;
    QProcess daemon_;
    QTemporaryDir dir_;
    QString address_;
    bool running_ = false;
    QString failure_;
};

// A bell manager wired to a FakeBellHost, a settings store in a temporary folder, the sounds of
// the build, and a clock the test moves by hand.
class BellTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Rebuilds the notification client and the manager on the private bus.
    void useNotificationDaemon();
    void makeManager(const QDBusConnection& bus);
    void advance(std::chrono::milliseconds step) { now += step; }
    // Waits until the daemon has seen `count` Notify calls; false after a generous bound.
    bool waitForNotifies(int count);
    // Every call posted so far, once the client has nothing in flight.
    QList<NotificationDaemon::Notify> settledNotifies();

    static QString soundDirectory();

    QTemporaryDir dir;
    std::unique_ptr<Defaults> defaults;
    std::unique_ptr<DesktopNotifications> notifications;
    std::unique_ptr<BellManager> bell;
    FakeBellHost host;
    std::chrono::steady_clock::time_point now =
        std::chrono::steady_clock::time_point() + std::chrono::hours(1);
};

} // namespace belltest
