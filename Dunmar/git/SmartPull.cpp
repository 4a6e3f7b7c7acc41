#include "git/SmartPull.h"

#include "localisation/Loc.h"

namespace {

const QString kStashMessage = QStringLiteral("Dunmar auto-stash before pull");

std::optional<QString> stashTip(const QString& cwd, int ms) {
    return runGit({"rev-parse", "-q", "--verify", "refs/stash"}, cwd, ms, GitLocks::allowed);
}

} // namespace

GitOutcome smartPull(const QString& cwd, const GitTimeLimits& limits) {
    const int quick = limits.localMs;
    runGitAction({"fetch", "--quiet"}, cwd, limits.networkMs);
    const bool dirty =
        !runGit({"status", "--porcelain"}, cwd, quick, GitLocks::allowed).value_or(QString()).isEmpty();

    // Only a stash this pull made is popped again. "stash push" succeeds without stashing anything
    // when only untracked files changed, and popping then would take the user's own stash.
    bool stashed = false;
    if (dirty) {
        const std::optional<QString> before = stashTip(cwd, quick);
        if (!runGitAction({"stash", "push", "-m", kStashMessage}, cwd, quick).success)
            return {QString::fromStdString(Loc::smartPullStashError()), false};
        const std::optional<QString> after = stashTip(cwd, quick);
        stashed = after && after != before;
    }

    // Without a choice of the user's, git refuses to pull into a branch that has diverged; this
    // pull merges, as it always has.
    QStringList pull{"pull", "-X", "patience"};
    if (!runGit({"config", "--get", "pull.rebase"}, cwd, quick, GitLocks::allowed)) pull << "--no-rebase";
    const GitActionResult pulled = runGitAction(pull, cwd, limits.networkMs);
    if (pulled.success) {
        if (stashed && !runGitAction({"stash", "pop"}, cwd, quick).success)
            return {QString::fromStdString(Loc::smartPullStashFailed()), true};
        return {QString::fromStdString(Loc::updated()), true};
    }

    const QStringList conflicts = conflictedFiles(cwd, quick);
    runGitAction({"merge", "--abort"}, cwd, quick);
    if (stashed) runGitAction({"stash", "pop"}, cwd, quick);
    const QString detail = conflicts.isEmpty() ? pulled.output : conflicts.join(QStringLiteral(", "));
    return {QString::fromStdString(Loc::smartPullConflict(detail.toStdString())), false};
}
