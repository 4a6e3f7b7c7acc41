#include "git/RepositorySnapshot.h"

#include "git/GitConfig.h"

#include <QFileInfo>

RepositorySnapshot takeRepositorySnapshot(const QString& cwd, const GitTimeLimits& limits) {
    RepositorySnapshot snap;
    snap.projectName = QFileInfo(cwd).fileName();
    snap.topLevel = runGit(gitcmd::topLevel(), cwd, limits);
    if (!snap.topLevel) return snap;
    snap.isRepo = true;

    const RepositoryConfig repoConfig = readRepositoryConfig(cwd, limits);
    snap.branch = runGit(gitcmd::currentBranch(), cwd, limits).value_or(QStringLiteral("main"));
    const QString origin = QStringLiteral("origin");
    snap.hasRemote = runGit(gitcmd::remoteUrl(origin), cwd, limits).has_value();
    if (snap.hasRemote) {
        // Brings the remote-tracking branches up to date; its outcome is not needed.
        runGitCommand(gitcmd::backgroundFetch(origin), cwd, limits);
        if (const auto counts = runGit(gitcmd::aheadBehind(), cwd, limits))
            std::tie(snap.ahead, snap.behind) = parseAheadBehind(*counts);
    }

    // Read as bytes: one file name that is not UTF-8 must not blank the whole list.
    const ChildRun status = runGitCommand(gitcmd::status(repoConfig.filterDrivers), cwd, limits);
    if (status.succeeded())
        snap.entries = parsePorcelainZ(status.out);
    else
        snap.statusFailed = true;

    snap.lastCommit = runGit(gitcmd::lastCommit(), cwd, limits);
    return snap;
}
