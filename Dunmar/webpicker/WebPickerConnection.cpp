// The picker sidebar's connection: browser, tab, channel, the tab's host every few seconds, and the
// ways the connection ends.
#include "webpicker/WebPickerSidebarView.h"

#include "webpicker/ChromeCDPClient.h"
#include "webpicker/DevToolsPort.h"
#include "webpicker/DevToolsTargets.h"
#include "webpicker/PageScripts.h"

#include "localisation/Loc.h"
#include "platform/Defaults.h"

#include <QDesktopServices>
#include <QGuiApplication>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
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

void WebPickerSidebarView::stopTimers() {
    clearTimer(pollTimer_);
    clearTimer(tabSearchTimer_);
    clearTimer(titlePollTimer_);
}

void WebPickerSidebarView::connect() {
    // A connect that is still on its way when the user connects again or disconnects is dropped:
    // its answers belong to an attempt that is no longer current.
    const quint64 attempt = ++attempt_;
    isConnected_ = false;
    currentTargetId_.reset();
    stopTimers();
    pickBtn_->setText(loc("pickElement"));
    showConnectingState(loc("connecting"));
    const QPointer<WebPickerSidebarView> self(this);
    cdp_->isAvailable([self, attempt](bool available) {
        if (!self || attempt != self->attempt_) return;
        if (available) return self->connectToTab();
        self->cdp_->launchChrome(
            [self, attempt](const QString& status) {
                if (self && attempt == self->attempt_) self->showConnectingState(status);
            },
            [self, attempt] {
                if (self && attempt == self->attempt_) self->connectToTab();
            });
    });
}

void WebPickerSidebarView::connectToTab() {
    const quint64 attempt = attempt_;
    std::optional<QString> preferred;
    const QVariant stored = defaults_.object(kLastTargetKey);
    if (stored.typeId() == QMetaType::QString) preferred = stored.toString();
    const QPointer<WebPickerSidebarView> self(this);
    cdp_->getActiveTabWS(preferred, [self, attempt](std::optional<QString> ws) {
        if (!self || attempt != self->attempt_) return;
        if (ws) return self->doConnect(*ws);
        self->showConnectingState(loc("openingTab"));
        self->cdp_->createBlankTab([self, attempt](std::optional<QString> fresh) {
            if (!self || attempt != self->attempt_) return;
            if (fresh) {
                if (const auto id = devtools::targetIdOfWebSocket(*fresh)) self->openedTargetIds_.insert(*id);
                return self->doConnect(*fresh);
            }
            self->showDisconnectedState();
            self->statusLabel_->setText(loc("chromeNotReachable"));
        });
    });
}

void WebPickerSidebarView::doConnect(const QString& url) {
    const quint64 attempt = attempt_;
    currentTargetId_ = devtools::targetIdOfWebSocket(url);
    if (currentTargetId_) defaults_.setValue(kLastTargetKey, *currentTargetId_);
    clearTimer(tabSearchTimer_);
    const QPointer<WebPickerSidebarView> self(this);
    cdp_->onDisconnected = [self] {
        if (self) self->handleUnexpectedDisconnect(loc("connectionLost"));
    };
    cdp_->connect(url, [self, attempt](bool ok) {
        if (!self || attempt != self->attempt_) return;
        if (!ok) {
            self->showDisconnectedState();
            self->statusLabel_->setText(loc("connectionFailed"));
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
        if (self->onConnected) self->onConnected();
        if (!self) return;
        if (self->currentTargetId_) self->refreshTabTitle(*self->currentTargetId_);
        self->startTitlePolling();
    });
}

void WebPickerSidebarView::refreshTabTitle(const QString& targetId) {
    const QPointer<WebPickerSidebarView> self(this);
    const quint64 attempt = attempt_;
    cdp_->getTabHostname(targetId, [self, attempt](std::optional<QString> host) {
        if (!self || attempt != self->attempt_ || !self->isConnected_) return;
        if (!host) return self->handleUnexpectedDisconnect(loc("tabClosed"));
        self->showConnectedState(*host, host->isEmpty());
    });
}

void WebPickerSidebarView::startTitlePolling() {
    clearTimer(titlePollTimer_);
    titlePollTimer_ = new QTimer(this);
    titlePollTimer_->setInterval(titlePollIntervalMs_);
    QObject::connect(titlePollTimer_, &QTimer::timeout, this, [this] {
        if (currentTargetId_) refreshTabTitle(*currentTargetId_);
    });
    titlePollTimer_->start();
}

void WebPickerSidebarView::scheduleTabSearch() {
    clearTimer(tabSearchTimer_);
    tabSearchTimer_ = new QTimer(this);
    tabSearchTimer_->setSingleShot(true);
    QObject::connect(tabSearchTimer_, &QTimer::timeout, this, [this] {
        if (!isConnected_) connectToTab();
    });
    tabSearchTimer_->start(tabSearchDelayMs_);
}

void WebPickerSidebarView::handleUnexpectedDisconnect(const QString& message) {
    if (!isConnected_) return;
    ++attempt_;
    isConnected_ = false;
    stopTimers();
    currentTargetId_.reset();
    cdp_->disconnect();
    stopHotReload();
    showDisconnectedState();
    statusLabel_->setText(message);
}

void WebPickerSidebarView::disconnect() {
    ++attempt_;
    stopTimers();
    isConnected_ = false;
    cdp_->onDisconnected = nullptr;
    pickBtn_->setText(loc("pickElement"));
    stopHotReload();
    // The page is cleaned up first; then the tab goes, but only when the picker opened it: a tab of
    // the user's that the picker attached to stays open.
    // The channel is closed once the page has answered, unless a new connect has begun by then: its
    // connection is not the one this disconnect meant.
    const std::optional<QString> target = currentTargetId_;
    const bool ownTab = target && openedTargetIds_.contains(*target);
    const QPointer<WebPickerSidebarView> self(this);
    const quint64 attempt = attempt_;
    auto closeChannel = [self, attempt] {
        if (self && attempt == self->attempt_) self->cdp_->disconnect();
    };
    cdp_->evaluate(pagescripts::cleanupScript(), [self, target, ownTab, closeChannel](std::optional<QJsonObject>) {
        if (!self) return;
        if (ownTab) {
            self->openedTargetIds_.remove(*target);
            self->cdp_->closeTab(*target, closeChannel);
            return;
        }
        closeChannel();
    });
    currentTargetId_.reset();
    defaults_.removeObject(kLastTargetKey);
    showDisconnectedState();
}

void WebPickerSidebarView::softDisconnect() {
    ++attempt_;
    stopTimers();
    isConnected_ = false;
    cdp_->onDisconnected = nullptr;
    pickBtn_->setText(loc("pickElement"));
    stopHotReload();
    const QPointer<WebPickerSidebarView> self(this);
    const quint64 attempt = attempt_;
    cdp_->evaluate(pagescripts::cleanupScript(), [self, attempt](std::optional<QJsonObject>) {
        if (self && attempt == self->attempt_) self->cdp_->disconnect();
    });
    showDisconnectedState();
}

void WebPickerSidebarView::openChromeInspect() {
    if (isConnected_ && currentTargetId_) {
        const QPointer<WebPickerSidebarView> self(this);
        cdp_->activateTarget(*currentTargetId_, [self] {
            if (self) self->cdp_->activateManagedApp();
        });
        cdp_->evaluate(QStringLiteral("window.open('chrome://inspect','_blank');void 0;"), {});
        return;
    }
    QDesktopServices::openUrl(QUrl(QStringLiteral("chrome://inspect")));
}

void WebPickerSidebarView::openDebugJSON() {
    QDesktopServices::openUrl(QUrl(devtools::httpBase(devtools::debugPort(defaults_)) + QStringLiteral("/json")));
}
