#include "git/RepositorySnapshot.h"

#include "git/ChildProcess.h"
#include "platform/GitPath.h"

#include <QFileInfo>

RepositorySnapshot takeRepositorySnapshot(const QString& cwd, const GitTimeLimits& limits) {
    RepositorySnapshot snap;
    snap.projectName = QFileInfo(cwd).fileName();
    const int quick = limits.localMs;
    snap.topLevel = runGit({"rev-parse", "--show-toplevel"}, cwd, quick);
    if (!snap.topLevel) return snap;
    snap.isRepo = true;

    snap.branch = runGit({"branch", "--show-current"}, cwd, quick).value_or(QStringLiteral("main"));
    snap.hasRemote = runGit({"remote", "get-url", "origin"}, cwd, quick).has_value();
    if (snap.hasRemote) {
        // Brings the remote-tracking branches up to date; its outcome is not needed.
        runGit({"fetch", "--quiet"}, cwd, limits.networkMs);
        if (const auto counts =
                runGit({"rev-list", "--left-right", "--count", "HEAD...@{upstream}"}, cwd, quick))
            std::tie(snap.ahead, snap.behind) = parseAheadBehind(*counts);
    }

    // Read as bytes: one file name that is not UTF-8 must not blank the whole list.
    const ChildRun status = runChild(gitExecutablePath(), {"status", "--porcelain=v1", "-z"}, cwd,
                                     gitEnvironment(GitLocks::avoided), quick);
    if (status.succeeded())
        snap.entries = parsePorcelainZ(status.out);
    else
        snap.statusFailed = true;

    snap.lastCommit = runGit({"log", "-1", "--pretty=format:%h %s"}, cwd, quick);
    return snap;
}
