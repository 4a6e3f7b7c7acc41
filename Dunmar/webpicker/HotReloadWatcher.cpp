#include "webpicker/HotReloadWatcher.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFutureWatcher>
#include <QPointer>
#include <QtConcurrent>

namespace {

void scanInto(HotReloadWatcher::Snapshot& out, const QString& folder, int depth, int maxDepth) {
    const QFileInfoList entries =
        QDir(folder).entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QFileInfo& entry : entries) {
        const QDateTime modified = entry.lastModified();
        if (modified.isValid()) out.insert(entry.absoluteFilePath(), modified);
        if (depth < maxDepth && entry.isDir() && !entry.isSymLink())
            scanInto(out, entry.absoluteFilePath(), depth + 1, maxDepth);
    }
}

} // namespace

HotReloadWatcher::HotReloadWatcher(QObject* parent) : QObject(parent) {
    pollTimer_.setInterval(kPollMs);
    QObject::connect(&pollTimer_, &QTimer::timeout, this, &HotReloadWatcher::pollTick);
    QObject::connect(&files_, &QFileSystemWatcher::fileChanged, this, &HotReloadWatcher::fileChanged);
}

HotReloadWatcher::~HotReloadWatcher() {
    stop();
}

HotReloadWatcher::Snapshot HotReloadWatcher::scanMtimes(const QString& directory, int maxDepth) {
    Snapshot out;
    if (QFileInfo(directory).isDir()) scanInto(out, QDir(directory).absolutePath(), 1, maxDepth);
    return out;
}

void HotReloadWatcher::stop() {
    ++generation_;
    if (!files_.files().isEmpty()) files_.removePaths(files_.files());
    pollTimer_.stop();
    filePath_.clear();
    watchedPath_.clear();
    watchedFileMtimes_.clear();
    rearming_ = false;
}

bool HotReloadWatcher::watchFile(const QString& path) {
    stop();
    watchedPath_ = path;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || !files_.addPath(path)) return false;
    filePath_ = path;
    return true;
}

void HotReloadWatcher::fileChanged(const QString& path) {
    if (path != filePath_ || rearming_) return;
    // The watch is made afresh after every event: an editor that saves by rename, or by delete and
    // create, leaves the old watch on a file that is no longer at the path. A replaced file is
    // waited for briefly; either way the save is reported once.
    files_.removePath(path);
    rearming_ = true;
    waitForReplacement(generation_, replaceWaitMs_);
}

void HotReloadWatcher::waitForReplacement(quint64 generation, int remainingMs) {
    if (generation != generation_) return;
    if (QFileInfo::exists(filePath_) && files_.addPath(filePath_)) {
        rearming_ = false;
        if (onChange) onChange();
        return;
    }
    if (remainingMs <= 0) {
        rearming_ = false;
        filePath_.clear();
        if (onFileLost) onFileLost();
        return;
    }
    QTimer::singleShot(kReplaceCheckMs, this, [this, generation, remainingMs] {
        waitForReplacement(generation, remainingMs - kReplaceCheckMs);
    });
}

void HotReloadWatcher::watchFolder(const QString& directory) {
    stop();
    watchedPath_ = directory;
    watchedFileMtimes_ = scanMtimes(directory);
    pollTimer_.start();
}

void HotReloadWatcher::pollTick() {
    // A tick while a scan still runs is skipped: scans of a large folder never pile up.
    if (scanRunning_ || watchedPath_.isEmpty()) return;
    scanRunning_ = true;
    const quint64 generation = generation_;
    const QString directory = watchedPath_;
    auto* watcher = new QFutureWatcher<Snapshot>(this);
    QObject::connect(watcher, &QFutureWatcher<Snapshot>::finished, this, [this, watcher, generation] {
        watcher->deleteLater();
        scanRunning_ = false;
        ++scansCompleted_;
        if (generation != generation_) return;
        Snapshot fresh = watcher->result();
        if (fresh == watchedFileMtimes_) return;
        watchedFileMtimes_ = std::move(fresh);
        if (onChange) onChange();
    });
    watcher->setFuture(QtConcurrent::run([directory] { return scanMtimes(directory); }));
}
