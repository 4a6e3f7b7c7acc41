#include "git/GitPanelModel.h"

#include "git/Background.h"
#include "git/FileDiff.h"

#include <QFileInfo>
#include <cstdlib>

GitPanelModel::GitPanelModel(GitHubEndpoints endpoints, QObject* parent)
    : QObject(parent), github_(new GitHubClient(std::move(endpoints), this)) {}

GitPanelModel::~GitPanelModel() {
    stopWatchers();
}

void GitPanelModel::startRefreshing(const QString& cwd) {
    lastCwd_ = cwd;
    refresh();
    delete refreshTimer_;
    refreshTimer_ = new QTimer(this);
    connect(refreshTimer_, &QTimer::timeout, this, &GitPanelModel::refresh);
    refreshTimer_->start(repoIntervalMs);
}

void GitPanelModel::updateCwd(const QString& cwd) {
    if (cwd == lastCwd_) return;
    lastCwd_ = cwd;
    github_->clearCache();
    stopWatchers();
    refresh();
}

void GitPanelModel::stopRefreshing() {
    delete refreshTimer_;
    refreshTimer_ = nullptr;
    stopWatchers();
}

void GitPanelModel::refresh() {
    if (lastCwd_.isEmpty() || isRefreshing_) return;
    isRefreshing_ = true;
    runInBackground<RepositorySnapshot>(
        this, [cwd = lastCwd_, limits = timeLimits] { return takeRepositorySnapshot(cwd, limits); },
        [this](RepositorySnapshot snap) { apply(snap); });
}

void GitPanelModel::apply(const RepositorySnapshot& snap) {
    isRefreshing_ = false;
    isGitRepo_ = snap.isRepo;
    currentBranch_ = snap.branch;
    ahead_ = snap.ahead;
    behind_ = snap.behind;
    hasRemote_ = snap.hasRemote;
    statusFailed_ = snap.statusFailed;
    // A failed status says nothing about the files: the list shown stays, unless it belonged to
    // another repository.
    if (!snap.statusFailed || entriesTopLevel_ != snap.topLevel) fileEntries_ = snap.entries;
    entriesTopLevel_ = snap.topLevel;
    lastCommitSummary_ = snap.lastCommit;

    if (onUpdated) onUpdated(snap.projectName);
    if (snap.isRepo && github_->isAuthenticated()) {
        syncLine_ = syncLineFor(hasRemote_, ahead_, behind_);
        if (onSyncLine) onSyncLine(*syncLine_);
    }
    if (snap.isRepo && snap.topLevel)
        startWatchers(*snap.topLevel);
    else
        stopWatchers();
    if (refreshTimer_) {
        const int wanted = snap.isRepo ? repoIntervalMs : outsideIntervalMs;
        if (std::abs(refreshTimer_->interval() - wanted) > 100) refreshTimer_->start(wanted);
    }
}

void GitPanelModel::startWatchers(const QString& gitRoot) {
    if (watchedGitRoot_ != gitRoot) {
        stopWatchers();
        watchedGitRoot_ = gitRoot;
        gitWatcher_ = new QFileSystemWatcher(this);
        connect(gitWatcher_, &QFileSystemWatcher::fileChanged, this, &GitPanelModel::watchedFileChanged);
    }
    // A new repository has no index until its first staging: watch it once it exists.
    for (const char* name : {"/.git/HEAD", "/.git/index"}) {
        const QString path = gitRoot + QLatin1String(name);
        if (!gitWatcher_->files().contains(path) && QFileInfo::exists(path)) gitWatcher_->addPath(path);
    }
}

void GitPanelModel::watchedFileChanged(const QString& path) {
    // git replaces HEAD and the index by renaming a new file over them, which ends the watch on
    // the old file: watch the new one.
    if (gitWatcher_ && !gitWatcher_->files().contains(path) && QFileInfo::exists(path))
        gitWatcher_->addPath(path);
    refresh();
}

void GitPanelModel::stopWatchers() {
    delete gitWatcher_;
    gitWatcher_ = nullptr;
    watchedGitRoot_.reset();
}

void GitPanelModel::loadDiff(const GitFileEntry& entry, std::function<void(const QString&)> done) {
    const QString root = watchedGitRoot_.value_or(lastCwd_);
    runInBackground<QString>(
        this, [root, entry, limits = timeLimits] { return loadFileDiff(root, entry.path, entry.x, limits); },
        [done](QString diff) { done(diff); });
}
