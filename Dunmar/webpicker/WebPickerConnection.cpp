#include "webpicker/WebPickerConnection.h"

#include "localisation/Loc.h"
#include "platform/Defaults.h"
#include "webpicker/ChromeCDPClient.h"
#include "webpicker/DevToolsTargets.h"
#include "webpicker/PageScripts.h"

#include <QDesktopServices>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QUrl>

namespace {

const QString kLastTargetKey = QStringLiteral("webPickerLastTargetId");

QString loc(const char* key) {
    return QString::fromStdString(Loc::t(key));
}

void clearTimer(QTimer*& timer) {
    if (!timer) return;
    timer->stop();
    timer->deleteLater();
    timer = nullptr;
}

} // namespace

WebPickerConnection::WebPickerConnection(Defaults& defaults, QObject* parent)
    : QObject(parent), defaults_(defaults), cdp_(new ChromeCDPClient(defaults, this)) {}

WebPickerConnection::~WebPickerConnection() {
    ++attempt_;
    stopTimers();
    cdp_->onDisconnected = nullptr;
    cdp_->disconnect();
    // The client cancels its requests as it goes, and their answers call back here: it goes now,
    // while the connection is still whole, rather than among the children after it.
    delete cdp_;
    cdp_ = nullptr;
}

void WebPickerConnection::stopTimers() {
    clearTimer(tabSearchTimer_);
    clearTimer(titlePollTimer_);
}

void WebPickerConnection::connect() {
    // A connect that is still on its way when the user connects again or disconnects is dropped:
    // its answers belong to an attempt that is no longer current.
    const quint64 attempt = ++attempt_;
    isConnected_ = false;
    currentTargetId_.reset();
    stopTimers();
    emit attemptStarted();
    emit connecting(loc("connecting"));
    const QPointer<WebPickerConnection> self(this);
    cdp_->isAvailable([self, attempt](bool available) {
        if (!self || attempt != self->attempt_) return;
        if (available) return self->connectToTab();
        self->cdp_->launchChrome(
            [self, attempt](const QString& status) {
                if (self && attempt == self->attempt_) emit self->connecting(status);
            },
            [self, attempt] {
                if (self && attempt == self->attempt_) self->connectToTab();
            });
    });
}

void WebPickerConnection::connectToTab() {
    const quint64 attempt = attempt_;
    std::optional<QString> preferred;
    const QVariant stored = defaults_.object(kLastTargetKey);
    if (stored.typeId() == QMetaType::QString) preferred = stored.toString();
    const QPointer<WebPickerConnection> self(this);
    cdp_->getActiveTabWS(preferred, [self, attempt](std::optional<QString> ws) {
        if (!self || attempt != self->attempt_) return;
        if (ws) return self->doConnect(*ws);
        emit self->connecting(loc("openingTab"));
        self->cdp_->createBlankTab([self, attempt](std::optional<QString> fresh) {
            if (!self || attempt != self->attempt_) return;
            if (fresh) {
                if (const auto id = devtools::targetIdOfWebSocket(*fresh)) self->openedTargetIds_.insert(*id);
                return self->doConnect(*fresh);
            }
            // Something else on the port that answers without end is named, not taken for a
            // browser that is merely missing.
            const QString cutOff = self->cdp_->lastCutOff();
            emit self->ended(cutOff.isEmpty() ? loc("chromeNotReachable")
                                              : loc("chromeNotReachable") + QStringLiteral(" — ") + cutOff);
        });
    });
}

void WebPickerConnection::doConnect(const QString& url) {
    const quint64 attempt = attempt_;
    currentTargetId_ = devtools::targetIdOfWebSocket(url);
    if (currentTargetId_) defaults_.setValue(kLastTargetKey, *currentTargetId_);
    clearTimer(tabSearchTimer_);
    const QPointer<WebPickerConnection> self(this);
    cdp_->onDisconnected = [self] {
        if (self) self->handleUnexpectedDisconnect(loc("connectionLost"));
    };
    cdp_->connect(url, [self, attempt](bool ok) {
        if (!self || attempt != self->attempt_) return;
        if (!ok) {
            emit self->ended(loc("connectionFailed"));
            self->scheduleTabSearch();
            return;
        }
        self->isConnected_ = true;
        self->cdp_->findManagedApp();
        if (const std::optional<QString> target = self->currentTargetId_) {
            const QScreen* screen = QGuiApplication::primaryScreen();
            const int height = screen ? screen->geometry().height() : 900;
            QTimer::singleShot(kWindowPlacementDelayMs, self, [self, height, target] {
                self->cdp_->setChromeWindowBounds(kBrowserWindowWidth, height, 0, 0, *target);
            });
        }
        emit self->opened();
        if (!self) return;
        if (self->currentTargetId_) self->refreshTabTitle(*self->currentTargetId_);
        self->startTitlePolling();
    });
}

void WebPickerConnection::refreshTabTitle(const QString& targetId) {
    const QPointer<WebPickerConnection> self(this);
    const quint64 attempt = attempt_;
    cdp_->getTabHostname(targetId, [self, attempt](std::optional<QString> host) {
        if (!self || attempt != self->attempt_ || !self->isConnected_) return;
        if (!host) return self->handleUnexpectedDisconnect(loc("tabClosed"));
        emit self->pageShown(*host);
    });
}

void WebPickerConnection::startTitlePolling() {
    clearTimer(titlePollTimer_);
    titlePollTimer_ = new QTimer(this);
    titlePollTimer_->setInterval(titlePollIntervalMs_);
    QObject::connect(titlePollTimer_, &QTimer::timeout, this, [this] {
        if (currentTargetId_) refreshTabTitle(*currentTargetId_);
    });
    titlePollTimer_->start();
}

void WebPickerConnection::scheduleTabSearch() {
    clearTimer(tabSearchTimer_);
    tabSearchTimer_ = new QTimer(this);
    tabSearchTimer_->setSingleShot(true);
    QObject::connect(tabSearchTimer_, &QTimer::timeout, this, [this] {
        if (!isConnected_) connectToTab();
    });
    tabSearchTimer_->start(tabSearchDelayMs_);
}

void WebPickerConnection::handleUnexpectedDisconnect(const QString& message) {
    // A second report of the same loss changes nothing.
    if (!isConnected_) return;
    end(Farewell::none, message);
}

void WebPickerConnection::disconnect() {
    end(Farewell::closeOwnTab, QString());
}

void WebPickerConnection::softDisconnect() {
    end(Farewell::keepTab, QString());
}

void WebPickerConnection::end(Farewell farewell, const QString& message) {
    const quint64 attempt = ++attempt_;
    stopTimers();
    isConnected_ = false;
    cdp_->onDisconnected = nullptr;
    if (farewell == Farewell::none) {
        // The channel is already gone: nothing can reach the page.
        currentTargetId_.reset();
        cdp_->disconnect();
    } else {
        // The page is cleaned up first; then the tab goes when the picker opened it itself (a tab of
        // the user's that the picker attached to stays open), and the channel closes. A connect begun
        // meanwhile has a channel of its own, which is left alone.
        const std::optional<QString> target = currentTargetId_;
        const bool closeTab =
            farewell == Farewell::closeOwnTab && target && openedTargetIds_.contains(*target);
        const QPointer<WebPickerConnection> self(this);
        auto closeChannel = [self, attempt] {
            if (self && attempt == self->attempt_) self->cdp_->disconnect();
        };
        cdp_->evaluate(pagescripts::cleanupScript(), [self, target, closeTab, closeChannel](auto) {
            if (!self) return;
            if (!closeTab) return closeChannel();
            self->openedTargetIds_.remove(*target);
            self->cdp_->closeTab(*target, closeChannel);
        });
        if (farewell == Farewell::closeOwnTab) {
            currentTargetId_.reset();
            defaults_.removeObject(kLastTargetKey);
        }
    }
    emit ended(message);
}

void WebPickerConnection::switchTo(const QString& webSocketUrl) {
    // Answers still on their way for the page left behind belong to an attempt that is over.
    ++attempt_;
    stopTimers();
    emit attemptStarted();
    cdp_->disconnect();
    isConnected_ = false;
    doConnect(webSocketUrl);
}

void WebPickerConnection::openInspector() {
    if (isConnected_ && currentTargetId_) {
        const QPointer<WebPickerConnection> self(this);
        cdp_->activateTarget(*currentTargetId_, [self] {
            if (self) self->cdp_->activateManagedApp();
        });
        cdp_->evaluate(QStringLiteral("window.open('chrome://inspect','_blank');void 0;"), {});
        return;
    }
    QDesktopServices::openUrl(QUrl(QStringLiteral("chrome://inspect")));
}
