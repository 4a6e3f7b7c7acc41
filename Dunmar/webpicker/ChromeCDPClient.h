#pragma once

#include <QByteArray>
#include <QHash>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <sys/types.h>

class Defaults;
class QWebSocket;
class QTimer;

// The picker's DevTools client: the browser's HTTP endpoints on the debugging port (is it there,
// which tab to attach to, new, activate and close tabs, a tab's host), starting our own browser and
// waiting for it, and one websocket channel to a tab that carries numbered protocol commands.
//
// Everything runs on the thread that owns the client and every completion runs there, exactly once,
// unless the client is destroyed first. Failures end in an empty result (false, none); the owner
// shows its own status text.
class ChromeCDPClient : public QObject {
    Q_OBJECT
public:
    using Completion = std::function<void(std::optional<QJsonObject>)>;

    explicit ChromeCDPClient(Defaults& defaults, QObject* parent = nullptr);
    ~ChromeCDPClient() override;

    // --- HTTP endpoints and the browser process -------------------------------------------------

    // The port every request uses, read afresh at each use: the setting's port unless overridden.
    int debugPort() const;
    void setPortOverride(std::optional<int> port) { portOverride_ = port; }

    // GET "/json" answers at all (any body, any status).
    void isAvailable(std::function<void(bool)> done);
    // GET "/json/list": the websocket URL of the preferred page, else of the first usable one.
    void getActiveTabWS(const std::optional<QString>& preferredTargetId,
                        std::function<void(std::optional<QString>)> done);
    // GET "/json/list": the host of the target's page, "" for a blank page, none when not listed.
    void getTabHostname(const QString& targetId, std::function<void(std::optional<QString>)> done);
    // PUT "/json/new?about:blank" (the browser refuses GET): the new tab's websocket URL.
    void createBlankTab(std::function<void(std::optional<QString>)> done);
    // GET "/json/list": the raw body, or none.
    void listTargets(int timeoutMs, std::function<void(std::optional<QByteArray>)> done);
    // GET "/json/activate/<id>" and "/json/close/<id>"; the answer is not looked at.
    void activateTarget(const QString& targetId, std::function<void()> done = {});
    void closeTab(const QString& targetId, std::function<void()> done = {});

    // Starts our browser and waits until it answers or the asks are spent; `onStatus` gets the
    // progress texts. The owner asks isAvailable() again to learn the outcome.
    void launchChrome(std::function<void(QString)> onStatus, std::function<void()> done);
    // Ends our own browser (never one the user started), waits a moment, starts it again and waits.
    void forceRelaunchChrome(std::function<void(QString)> onStatus, std::function<void()> done);

    // Looks for the browser process on our port in the background and remembers it in managedApp.
    void findManagedApp();
    // The browser process found last; kept when a later search finds none.
    std::optional<pid_t> managedApp() const { return managedApp_; }
    // Brings the remembered browser's window to the front (X11); nothing when none is known.
    void activateManagedApp();

    // --- the command channel ---------------------------------------------------------------------

    // Opens the websocket (dropping any earlier one) and reports whether it answered a ping in time.
    void connect(const QString& wsUrl, std::function<void(bool)> done);
    // Closes the channel (going away); waiting commands are dropped without a call.
    void disconnect();
    bool isOpen() const { return socket_ != nullptr; }
    // The id of the last command sent on the channel; 0 for a fresh one.
    qint64 messageId() const { return messageId_; }

    // Sends a command; the completion gets the answer's "result" object, or none when nothing could
    // be sent or the answer carries no result (a protocol error).
    void cdpCommand(const QString& method, const QJsonObject& params, Completion completion);
    // Runtime.evaluate of `script`, by value.
    void evaluate(const QString& script, Completion completion);
    // Opens what the user typed in the tab, when it reads as an http(s) address.
    void navigate(const QString& typed);
    // Places the browser window that shows the target.
    void setChromeWindowBounds(int width, int height, int left, int top, const QString& targetId);
    // A PNG of the content box of the element marked with the pick's attribute; none when the
    // element is missing or has no size.
    void captureElementScreenshot(qint64 pickId, std::function<void(std::optional<QByteArray>)> done);

    // Run when the open channel breaks (the browser closed it, the network went).
    std::function<void()> onDisconnected;

    // Time-outs, shortened by tests.
    void setPingTimeoutMs(int ms) { pingTimeoutMs_ = ms; }
    void setLaunchPollIntervalMs(int ms) { launchPollIntervalMs_ = ms; }
    void setRelaunchPollIntervalMs(int ms) { relaunchPollIntervalMs_ = ms; }
    void setRelaunchPauseMs(int ms) { relaunchPauseMs_ = ms; }

    static constexpr int kAvailableTimeoutMs = 2000;
    static constexpr int kRequestTimeoutMs = 3000;
    static constexpr int kActivateTimeoutMs = 60000;
    // The browser's target lists are a few hundred bytes a tab.
    static constexpr qint64 kMaxAnswerBytes = 1024 * 1024;

    // Why the last answer on the port was cut off ("port 9222: answer larger than 1 MiB"), while no
    // whole answer has come since; empty otherwise.
    QString lastCutOff() const { return lastCutOff_; }

private:
    void get(const QString& path, int timeoutMs, std::function<void(std::optional<QByteArray>)> done,
             const QByteArray& verb = QByteArrayLiteral("GET"));
    void pollUntilAvailable(int attempts, int intervalMs, std::function<void(QString)> onStatus,
                            std::function<void()> done);
    void openChrome();
    void handleMessage(const QString& text);
    void fail(Completion completion);

    Defaults& defaults_;
    std::optional<int> portOverride_;
    QNetworkAccessManager network_;

    // The channel. Each connection has its own generation, and whatever an earlier one still
    // reports (a late failure, its ping timer, its close) is ignored once it is no longer current.
    QWebSocket* socket_ = nullptr;
    quint64 generation_ = 0;
    std::function<void(bool)> pendingConnect_;
    qint64 messageId_ = 0;
    QHash<qint64, Completion> pendingCallbacks_;

    std::optional<pid_t> managedApp_;
    QString lastCutOff_;

    int pingTimeoutMs_ = 3000;
    int launchPollIntervalMs_ = 700;
    int relaunchPollIntervalMs_ = 800;
    int relaunchPauseMs_ = 1800;
};
