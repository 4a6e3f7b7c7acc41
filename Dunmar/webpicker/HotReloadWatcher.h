#pragma once

#include <QDateTime>
#include <QFileSystemWatcher>
#include <QHash>
#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>

// Tells when the files behind a page change: one file (a page opened from a file), or a project
// folder to depth 3 polled once a second. It knows nothing of browsers; `onChange` is where the
// owner reloads.
class HotReloadWatcher : public QObject {
    Q_OBJECT
public:
    using Snapshot = QHash<QString, QDateTime>;

    explicit HotReloadWatcher(QObject* parent = nullptr);
    ~HotReloadWatcher() override;

    // Watches one file; false when it cannot be read (nothing is watched then). A save that replaces
    // the file (rename, or delete and create) is followed: the watch waits briefly for the path to
    // come back, re-arms and reports one change.
    bool watchFile(const QString& path);
    // Polls the folder: the first snapshot now, later ones off this thread, one at a time.
    void watchFolder(const QString& directory);
    // Ends any watch; a scan still running is dropped when it ends.
    void stop();

    bool isWatchingFile() const { return !filePath_.isEmpty(); }
    bool isWatchingFolder() const { return pollTimer_.isActive(); }
    QString watchedPath() const { return watchedPath_; }
    const Snapshot& snapshot() const { return watchedFileMtimes_; }
    bool isScanRunning() const { return scanRunning_; }
    // Scans that have ended, current or not: lets a test wait for a poll that found nothing.
    quint64 scansCompleted() const { return scansCompleted_; }

    // Every entry below the folder to depth 3 (an entry directly inside has depth 1), hidden ones
    // included, by absolute path; symbolic links to folders are listed, not entered.
    static Snapshot scanMtimes(const QString& directory, int maxDepth = 3);

    std::function<void()> onChange;
    // The watched file is gone and did not come back in time.
    std::function<void()> onFileLost;

    void setPollIntervalMs(int ms) { pollTimer_.setInterval(ms); }
    void setReplaceWaitMs(int ms) { replaceWaitMs_ = ms; }

    static constexpr int kPollMs = 1000;
    static constexpr int kReplaceWaitMs = 1000;
    static constexpr int kReplaceCheckMs = 25;

private:
    void fileChanged(const QString& path);
    void waitForReplacement(quint64 generation, int remainingMs);
    void pollTick();

    QFileSystemWatcher files_;
    QTimer pollTimer_;
    QString filePath_;
    QString watchedPath_;
    Snapshot watchedFileMtimes_;
    // Every watch has its own generation: a scan or a re-arm of an earlier watch changes nothing.
    quint64 generation_ = 0;
    bool scanRunning_ = false;
    quint64 scansCompleted_ = 0;
    bool rearming_ = false;
    int replaceWaitMs_ = kReplaceWaitMs;
};
