#pragma once

#include "git/GitHubClient.h"
#include "git/GitRunner.h"
#include "git/GitStatus.h"
#include "git/RepositorySnapshot.h"
#include "git/SyncLine.h"

#include <QFileSystemWatcher>
#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>
#include <optional>
#include <vector>

// The state of the repository around the folder a git panel follows, and how it is kept current:
// a refresh runs git off the GUI thread (at most one at a time) and applies its snapshot here; a
// timer refreshes every 5 s inside a repository and every 30 s outside, and watchers on HEAD and
// the index refresh at once when a commit, checkout or staging happens elsewhere.
class GitPanelModel : public QObject {
    Q_OBJECT
public:
    explicit GitPanelModel(GitHubEndpoints endpoints = {}, QObject* parent = nullptr);
    ~GitPanelModel() override;

    // Follow `cwd` and refresh on the timer from now on.
    void startRefreshing(const QString& cwd);
    // Follow another folder; nothing happens when it is the one followed.
    void updateCwd(const QString& cwd);
    // No timer and no watchers; explicit refreshes still run.
    void stopRefreshing();
    // One refresh now, unless no folder is known or one is under way.
    void refresh();
    void startWatchers(const QString& gitRoot);
    void stopWatchers();
    // The diff of one of `fileEntries`, loaded off the GUI thread; `done` does not run when the
    // model has gone first.
    void loadDiff(const GitFileEntry& entry, std::function<void(const QString& diff)> done);

    const QString& lastCwd() const { return lastCwd_; }
    bool isRefreshing() const { return isRefreshing_; }
    const std::optional<QString>& watchedGitRoot() const { return watchedGitRoot_; }
    const std::optional<QString>& lastCommitSummary() const { return lastCommitSummary_; }
    bool isGitRepo() const { return isGitRepo_; }
    const QString& currentBranch() const { return currentBranch_; }
    int ahead() const { return ahead_; }
    int behind() const { return behind_; }
    bool hasRemote() const { return hasRemote_; }
    // Paths are relative to `watchedGitRoot`.
    const std::vector<GitFileEntry>& fileEntries() const { return fileEntries_; }
    // The last "status" failed; `fileEntries` still shows what it listed before.
    bool statusFailed() const { return statusFailed_; }
    // The sync line last set (only a signed-in refresh in a repository sets it).
    const std::optional<SyncLine>& syncLine() const { return syncLine_; }
    // The timer's interval in ms; 0 without a timer.
    int refreshInterval() const { return refreshTimer_ ? refreshTimer_->interval() : 0; }

    GitHubClient& github() { return *github_; }

    GitTimeLimits timeLimits;
    int repoIntervalMs = 5000;
    int outsideIntervalMs = 30000;

    // After every applied snapshot, with the project name (the folder's last component).
    std::function<void(const QString& projectName)> onUpdated;
    // When a refresh sets the sync line and the visibility of the upload and update buttons.
    std::function<void(const SyncLine&)> onSyncLine;

private:
    void apply(const RepositorySnapshot& snap);
    void watchedFileChanged(const QString& path);

    QString lastCwd_;
    QTimer* refreshTimer_ = nullptr;
    bool isRefreshing_ = false;
    QFileSystemWatcher* gitWatcher_ = nullptr;
    std::optional<QString> watchedGitRoot_;
    std::optional<QString> lastCommitSummary_;
    GitHubClient* github_;
    bool isGitRepo_ = false;
    QString currentBranch_;
    int ahead_ = 0;
    int behind_ = 0;
    bool hasRemote_ = false;
    std::vector<GitFileEntry> fileEntries_;
    std::optional<QString> entriesTopLevel_; // the repository `fileEntries_` belong to
    bool statusFailed_ = false;
    std::optional<SyncLine> syncLine_;
};
