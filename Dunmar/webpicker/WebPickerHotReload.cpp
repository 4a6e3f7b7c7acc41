#include "webpicker/WebPickerHotReload.h"

#include "platform/Defaults.h"
#include "webpicker/ChromeCDPClient.h"
#include "webpicker/DevToolsTargets.h"
#include "webpicker/WebPickerConnection.h"

#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QTimer>
#include <QUrl>

namespace {

const QString kWatchFolderKey = QStringLiteral("webPickerWatchFolder");

} // namespace

WebPickerHotReload::WebPickerHotReload(Defaults& defaults, WebPickerConnection& connection, QObject* parent)
    : QObject(parent), defaults_(defaults), connection_(connection) {
    watcher_.onChange = [this] { triggerHotReload(); };
    watcher_.onFileLost = [this] {
        setStatus(QStringLiteral("⚠ can't open file"));
        emit rowShown(false);
    };
}

void WebPickerHotReload::setStatus(const QString& text) {
    status_ = text;
    emit statusChanged(text);
}

void WebPickerHotReload::toggle() {
    enabled_ = !enabled_;
    ++watchDetection_;
    emit enabledChanged(enabled_);
    if (!enabled_) {
        stopWatching();
        emit rowHidden();
        return;
    }
    startAutoDetectWatch();
}

void WebPickerHotReload::stop() {
    ++watchDetection_;
    stopWatching();
    enabled_ = false;
    emit enabledChanged(false);
    emit rowHidden();
}

void WebPickerHotReload::startAutoDetectWatch() {
    const QPointer<WebPickerHotReload> self(this);
    const quint64 detection = watchDetection_;
    connection_.cdp().listTargets(kDetectTimeoutMs, [self, detection](std::optional<QByteArray> body) {
        if (!self || !body || detection != self->watchDetection_ || !self->enabled_) return;
        const std::optional<QString> address =
            devtools::targetUrl(*body, self->connection_.currentTargetId());
        if (!address) return;
        const QUrl url(*address);
        if (address->startsWith(QLatin1String("file://")) && url.isValid()) {
            self->startFileWatcher(url.toLocalFile());
            return;
        }
        const QString folder = self->defaults_.string(kWatchFolderKey);
        if (!folder.isEmpty() && QFileInfo::exists(folder)) {
            self->startPollingWatcher(folder);
            return;
        }
        emit self->rowShown(true);
    });
}

void WebPickerHotReload::watchFolder(const QString& directory) {
    defaults_.setValue(kWatchFolderKey, directory);
    startPollingWatcher(directory);
}

void WebPickerHotReload::startFileWatcher(const QString& path) {
    if (!watcher_.watchFile(path)) {
        setStatus(QStringLiteral("⚠ can't open file"));
        emit rowShown(false);
        return;
    }
    setStatus(QStringLiteral("● ") + QFileInfo(path).fileName());
    emit rowShown(false);
}

void WebPickerHotReload::startPollingWatcher(const QString& directory) {
    watcher_.watchFolder(directory);
    setStatus(QStringLiteral("● %1 files in %2")
                  .arg(watcher_.snapshot().size())
                  .arg(QFileInfo(QDir::cleanPath(directory)).fileName()));
    emit rowShown(true);
}

void WebPickerHotReload::triggerHotReload() {
    if (!enabled_ || !connection_.isConnected()) return;
    connection_.cdp().cdpCommand(QStringLiteral("Page.reload"), {{QStringLiteral("ignoreCache"), true}},
                                 [](std::optional<QJsonObject>) {});
    // A reload during the note keeps the status from before the first one.
    if (!reloadNoteShown_) statusBeforeNote_ = status_;
    reloadNoteShown_ = true;
    setStatus(QStringLiteral("↺ reloaded"));
    const quint64 note = ++reloadNote_;
    QTimer::singleShot(kReloadNoteMs, this, [this, note] {
        if (note != reloadNote_) return;
        reloadNoteShown_ = false;
        setStatus(statusBeforeNote_);
    });
}

void WebPickerHotReload::stopWatching() {
    watcher_.stop();
    if (reloadNoteShown_) {
        ++reloadNote_;
        reloadNoteShown_ = false;
        setStatus(statusBeforeNote_);
    }
}
