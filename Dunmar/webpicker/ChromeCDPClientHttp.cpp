// The client's HTTP half: the DevTools endpoints on the debugging port and our browser process.
#include "webpicker/BrowserLauncher.h"
#include "webpicker/BrowserProfile.h"
#include "webpicker/ChromeCDPClient.h"
#include "webpicker/DevToolsPort.h"
#include "webpicker/DevToolsTargets.h"
#include "webpicker/PointerWindow.h"

#include "platform/Defaults.h"
#include "platform/FetchData.h"

#include <QFutureWatcher>
#include <QNetworkRequest>
#include <QPointer>
#include <QTimer>
#include <QUrl>
#include <QtConcurrent>

ChromeCDPClient::ChromeCDPClient(Defaults& defaults, QObject* parent) : QObject(parent), defaults_(defaults) {}

ChromeCDPClient::~ChromeCDPClient() {
    onDisconnected = nullptr;
    disconnect();
}

int ChromeCDPClient::debugPort() const {
    return portOverride_ ? *portOverride_ : devtools::debugPort(defaults_);
}

void ChromeCDPClient::get(const QString& path, int timeoutMs,
                          std::function<void(std::optional<QByteArray>)> done, const QByteArray& verb) {
    // Target ids go into the path as the browser gave them.
    const QUrl url(devtools::httpBase(debugPort()) + path, QUrl::StrictMode);
    if (!url.isValid()) {
        QTimer::singleShot(0, this, [done = std::move(done)] { done(std::nullopt); });
        return;
    }
    QNetworkRequest request(url);
    request.setTransferTimeout(timeoutMs);
    // Whatever listens on the port answers: another local program may stream into it without end.
    // The whole answer has to come within the time-out, and within kMaxAnswerBytes.
    const QPointer<ChromeCDPClient> self(this);
    fetchData(
        network_, request, this,
        [self, port = debugPort(), done = std::move(done)](FetchResult result) {
            if (self && result.error && result.error->cutOff) {
                self->lastCutOff_ = QStringLiteral("port %1: %2").arg(port).arg(result.error->message);
                qWarning("DevTools: %s", qUtf8Printable(self->lastCutOff_));
            } else if (self && result.ok()) {
                self->lastCutOff_.clear();
            }
            if (!result.ok()) return done(std::nullopt);
            done(std::move(result.data));
        },
        verb, {}, FetchLimits{kMaxAnswerBytes, timeoutMs});
}

void ChromeCDPClient::isAvailable(std::function<void(bool)> done) {
    get(QStringLiteral("/json"), kAvailableTimeoutMs,
        [done = std::move(done)](std::optional<QByteArray> body) { done(body.has_value()); });
}

void ChromeCDPClient::getActiveTabWS(const std::optional<QString>& preferredTargetId,
                                     std::function<void(std::optional<QString>)> done) {
    get(QStringLiteral("/json/list"), kRequestTimeoutMs,
        [preferredTargetId, done = std::move(done)](std::optional<QByteArray> body) {
            done(body ? devtools::chooseTargetWebSocket(*body, preferredTargetId) : std::nullopt);
        });
}

void ChromeCDPClient::getTabHostname(const QString& targetId, std::function<void(std::optional<QString>)> done) {
    get(QStringLiteral("/json/list"), kRequestTimeoutMs,
        [targetId, done = std::move(done)](std::optional<QByteArray> body) {
            done(body ? devtools::targetHost(*body, targetId) : std::nullopt);
        });
}

void ChromeCDPClient::listTargets(int timeoutMs, std::function<void(std::optional<QByteArray>)> done) {
    get(QStringLiteral("/json/list"), timeoutMs, std::move(done));
}

void ChromeCDPClient::createBlankTab(std::function<void(std::optional<QString>)> done) {
    get(QStringLiteral("/json/new?about:blank"), kRequestTimeoutMs,
        [done = std::move(done)](std::optional<QByteArray> body) {
            done(body ? devtools::newTargetWebSocket(*body) : std::nullopt);
        },
        QByteArrayLiteral("PUT"));
}

void ChromeCDPClient::activateTarget(const QString& targetId, std::function<void()> done) {
    get(QStringLiteral("/json/activate/") + targetId, kActivateTimeoutMs,
        [done = std::move(done)](std::optional<QByteArray>) {
            if (done) done();
        });
}

void ChromeCDPClient::closeTab(const QString& targetId, std::function<void()> done) {
    get(QStringLiteral("/json/close/") + targetId, kRequestTimeoutMs, [done = std::move(done)](std::optional<QByteArray>) {
        if (done) done();
    });
}

void ChromeCDPClient::openChrome() {
    // A browser that cannot be found or started is simply not there: the wait that follows runs out.
    browser::launch(debugPort());
}

void ChromeCDPClient::launchChrome(std::function<void(QString)> onStatus, std::function<void()> done) {
    openChrome();
    pollUntilAvailable(14, launchPollIntervalMs_, std::move(onStatus), std::move(done));
}

void ChromeCDPClient::forceRelaunchChrome(std::function<void(QString)> onStatus, std::function<void()> done) {
    if (const std::optional<QString> profile = browser::profileFolder(debugPort()))
        browser::terminateProcessesWithProfile(*profile);
    if (onStatus) onStatus(QStringLiteral("Stopping Chrome..."));
    QTimer::singleShot(relaunchPauseMs_, this, [this, onStatus = std::move(onStatus), done = std::move(done)] {
        openChrome();
        pollUntilAvailable(16, relaunchPollIntervalMs_, onStatus, done);
    });
}

void ChromeCDPClient::pollUntilAvailable(int attempts, int intervalMs, std::function<void(QString)> onStatus,
                                         std::function<void()> done) {
    if (attempts < 1) {
        if (done) done();
        return;
    }
    // Each ask that fails shows a status and waits one interval; after the last failed ask the
    // wait still runs once before giving up.
    const QPointer<ChromeCDPClient> self(this);
    isAvailable([self, attempts, intervalMs, onStatus = std::move(onStatus), done = std::move(done)](bool up) {
        if (!self) return;
        if (up) {
            if (done) done();
            return;
        }
        if (onStatus) onStatus(devtools::waitingStatusText(attempts));
        QTimer::singleShot(intervalMs, self, [self, attempts, intervalMs, onStatus, done] {
            if (attempts < 2) {
                if (done) done();
                return;
            }
            self->pollUntilAvailable(attempts - 1, intervalMs, onStatus, done);
        });
    });
}

void ChromeCDPClient::findManagedApp() {
    const std::optional<QString> profile = browser::profileFolder(debugPort());
    auto* watcher = new QFutureWatcher<std::optional<pid_t>>(this);
    QObject::connect(watcher, &QFutureWatcher<std::optional<pid_t>>::finished, this, [this, watcher] {
        if (const std::optional<pid_t> pid = watcher->result()) managedApp_ = pid;
        watcher->deleteLater();
    });
    watcher->setFuture(QtConcurrent::run([profile]() -> std::optional<pid_t> {
        const std::vector<pid_t> ours =
            profile ? browser::processesWithProfile(*profile) : std::vector<pid_t>();
        if (!ours.empty()) return ours.front();
        // A browser started by hand: taken only when it is the one browser running.
        const std::vector<pid_t> running = browser::runningBrowsers();
        if (running.size() == 1) return running.front();
        return std::nullopt;
    }));
}

void ChromeCDPClient::activateManagedApp() {
    if (managedApp_) pointerwindow::activateProcessWindow(*managedApp_);
}
