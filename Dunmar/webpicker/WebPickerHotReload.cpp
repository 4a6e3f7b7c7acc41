// The picker sidebar's hot reload: the connected tab reloads when the file it shows, or the project
// folder behind it, changes.
#include "chrome/ChromeStyle.h"
#include "platform/Defaults.h"
#include "platform/DialogFocus.h"
#include "webpicker/ChromeCDPClient.h"
#include "webpicker/DevToolsTargets.h"
#include "webpicker/SidebarStyle.h"
#include "webpicker/WebPickerSidebarView.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QUrl>
#include <QVariantAnimation>

namespace {

const QString kWatchFolderKey = QStringLiteral("webPickerWatchFolder");
constexpr int kDetectTimeoutMs = 2000;
constexpr int kReloadNoteMs = 1500;
constexpr int kWatchRowHeight = 20;

} // namespace

void WebPickerSidebarView::toggleHotReload() {
    hotReloadEnabled_ = !hotReloadEnabled_;
    ++watchDetection_;
    if (!hotReloadEnabled_) {
        sidebarstyle::setTint(hotReloadBtn_, chrome::white(0.45));
        stopWatching();
        hideWatchRow();
        return;
    }
    sidebarstyle::setTint(hotReloadBtn_, teal());
    startAutoDetectWatch();
}

void WebPickerSidebarView::startAutoDetectWatch() {
    const QPointer<WebPickerSidebarView> self(this);
    const quint64 detection = watchDetection_;
    cdp_->listTargets(kDetectTimeoutMs, [self, detection](std::optional<QByteArray> body) {
        if (!self || !body || detection != self->watchDetection_ || !self->hotReloadEnabled_) return;
        const std::optional<QString> address = devtools::targetUrl(*body, self->currentTargetId_);
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
        self->showWatchRow(true);
    });
}

void WebPickerSidebarView::selectWatchFolder() {
    auto* dialog = new QFileDialog(window(), QString());
    dialog->setFileMode(QFileDialog::Directory);
    dialog->setOption(QFileDialog::ShowDirsOnly);
    dialog->setLabelText(QFileDialog::Accept, QStringLiteral("Watch"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    const QPointer<WebPickerSidebarView> self(this);
    QObject::connect(dialog, &QFileDialog::fileSelected, this, [self](const QString& path) {
        if (!self || path.isEmpty()) return;
        self->defaults_.setValue(kWatchFolderKey, path);
        self->startPollingWatcher(path);
    });
    returnKeyboardWhenFinished(dialog);
    dialog->open();
}

void WebPickerSidebarView::startFileWatcher(const QString& path) {
    if (!watcher_.watchFile(path)) {
        watchStatusLabel_->setText(QStringLiteral("⚠ can't open file"));
        showWatchRow(false);
        return;
    }
    watchStatusLabel_->setText(QStringLiteral("● ") + QFileInfo(path).fileName());
    showWatchRow(false);
}

void WebPickerSidebarView::startPollingWatcher(const QString& directory) {
    watcher_.watchFolder(directory);
    watchStatusLabel_->setText(QStringLiteral("● %1 files in %2")
                                   .arg(watcher_.snapshot().size())
                                   .arg(QFileInfo(QDir::cleanPath(directory)).fileName()));
    showWatchRow(true);
}

void WebPickerSidebarView::triggerHotReload() {
    if (!hotReloadEnabled_ || !isConnected_) return;
    cdp_->cdpCommand(QStringLiteral("Page.reload"), {{QStringLiteral("ignoreCache"), true}},
                     [](std::optional<QJsonObject>) {});
    // A reload during the note keeps the status from before the first one.
    if (!reloadNoteShown_) watchStatusBeforeNote_ = watchStatusLabel_->text();
    reloadNoteShown_ = true;
    watchStatusLabel_->setText(QStringLiteral("↺ reloaded"));
    const quint64 note = ++reloadNote_;
    QTimer::singleShot(kReloadNoteMs, this, [this, note] {
        if (note != reloadNote_) return;
        reloadNoteShown_ = false;
        watchStatusLabel_->setText(watchStatusBeforeNote_);
    });
}

void WebPickerSidebarView::showWatchRow(bool forLocalhost) {
    watchFolderBtn_->setVisible(forLocalhost);
    watchRow_->show();
    setWatchRowHeight(kWatchRowHeight, 150);
}

void WebPickerSidebarView::hideWatchRow() {
    setWatchRowHeight(0, 120);
}

void WebPickerSidebarView::setWatchRowHeight(int height, int durationMs) {
    auto* animation = new QVariantAnimation(this);
    animation->setObjectName(QStringLiteral("watchRowHeight"));
    for (auto* running :
         findChildren<QVariantAnimation*>(QStringLiteral("watchRowHeight"), Qt::FindDirectChildrenOnly))
        if (running != animation) running->stop();
    animation->setStartValue(watchRowH_);
    animation->setEndValue(height);
    animation->setDuration(durationMs);
    QObject::connect(animation, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        watchRowH_ = value.toInt();
        layoutContents();
    });
    if (height == 0) {
        const QPointer<WebPickerSidebarView> self(this);
        QObject::connect(animation, &QVariantAnimation::finished, this, [self] {
            if (self && self->watchRowH_ == 0) self->watchRow_->hide();
        });
    }
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}

void WebPickerSidebarView::stopWatching() {
    watcher_.stop();
    if (reloadNoteShown_) {
        ++reloadNote_;
        reloadNoteShown_ = false;
        watchStatusLabel_->setText(watchStatusBeforeNote_);
    }
}

void WebPickerSidebarView::stopHotReload() {
    ++watchDetection_;
    stopWatching();
    hotReloadEnabled_ = false;
    sidebarstyle::setTint(hotReloadBtn_, chrome::white(0.45));
    hideWatchRow();
}
