#pragma once

#include <QObject>
#include <QSet>
#include <QString>
#include <optional>

class ChromeCDPClient;
class Defaults;
class QTimer;

// The picker's DevTools connection with one tab of the local browser: the availability test (the
// browser started when it does not answer), the choice of the tab with the one used last preferred,
// the channel, the tab's host every few seconds, the retry after a failed channel, and the three
// ways it ends (the user's full disconnect, the soft one that keeps the tab, and a lost channel or
// a closed tab). It owns the DevTools client; the views only listen.
class WebPickerConnection : public QObject {
    Q_OBJECT
public:
    explicit WebPickerConnection(Defaults& defaults, QObject* parent = nullptr);
    ~WebPickerConnection() override;

    ChromeCDPClient& cdp() { return *cdp_; }
    bool isConnected() const { return isConnected_; }
    std::optional<QString> currentTargetId() const { return currentTargetId_; }

    // From the availability test to a tab's channel; a connect still on its way is dropped.
    void connect();
    // Ends the connection, closes the tab the picker opened itself and forgets the remembered tab.
    void disconnect();
    // Ends the connection but keeps the tab and the remembered tab for the next connect.
    void softDisconnect();
    // Leaves the tab in use for another page of the browser (the tab switcher's choice).
    void switchTo(const QString& webSocketUrl);
    // Brings the connected tab and its browser to the front and opens the browser's inspect page;
    // without a connection, asks the desktop to open it.
    void openInspector();

    // Intervals of the title poll and of the retry after a failed channel, shortened by tests.
    void setTitlePollIntervalMs(int ms) { titlePollIntervalMs_ = ms; }
    void setTabSearchDelayMs(int ms) { tabSearchDelayMs_ = ms; }

    static constexpr int kTitlePollMs = 3000;
    static constexpr int kTabSearchMs = 2000;
    static constexpr int kWindowPlacementDelayMs = 400;
    static constexpr int kBrowserWindowWidth = 777;

signals:
    // A new attempt begins: whatever ran against the page before stops.
    void attemptStarted();
    // A step of connecting, with the text to show.
    void connecting(const QString& status);
    // The channel answers; the tab's host follows with `pageShown`.
    void opened();
    // The connected tab's host; empty for a blank page.
    void pageShown(const QString& host);
    // There is no connection (any more): the message says why, empty when the user ended it.
    void ended(const QString& message);

private:
    enum class Farewell { none, keepTab, closeOwnTab };

    void connectToTab();
    void doConnect(const QString& url);
    void refreshTabTitle(const QString& targetId);
    void startTitlePolling();
    void scheduleTabSearch();
    void handleUnexpectedDisconnect(const QString& message);
    // The one way a connection ends: answers still on their way are dropped, the timers stop, the
    // page is cleaned up as `farewell` says, and `ended` tells the views.
    void end(Farewell farewell, const QString& message);
    void stopTimers();

    Defaults& defaults_;
    ChromeCDPClient* cdp_;
    QTimer* tabSearchTimer_ = nullptr;
    QTimer* titlePollTimer_ = nullptr;
    bool isConnected_ = false;
    std::optional<QString> currentTargetId_;
    // Every connect and disconnect starts a new attempt; answers of an older one are ignored.
    quint64 attempt_ = 0;
    // Tabs this connection opened itself: only those are closed when it disconnects.
    QSet<QString> openedTargetIds_;
    int titlePollIntervalMs_ = kTitlePollMs;
    int tabSearchDelayMs_ = kTabSearchMs;
};
