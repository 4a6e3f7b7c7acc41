#include "git/SmartPull.h"

#include "localisation/Loc.h"

GitOutcome smartPull(const QString& cwd, const GitTimeLimits& limits) {
    const auto succeeds = [&](const GitCommand& c) { return runGitAction(c, cwd, limits).success; };
    const auto stashTip = [&] { return runGit(gitcmd::stashTip(), cwd, limits); };

    succeeds(gitcmd::fetch());
    const bool dirty = !runGit(gitcmd::localChanges(), cwd, limits).value_or(QString()).isEmpty();

    // Only a stash this pull made is popped again. "stash push" succeeds without stashing anything
    // when only untracked files changed, and popping then would take the user's own stash.
    bool stashed = false;
    if (dirty) {
        const std::optional<QString> before = stashTip();
        if (!succeeds(gitcmd::stashPush(QStringLiteral("Dunmar auto-stash before pull"))))
            return {QString::fromStdString(Loc::smartPullStashError()), false};
        const std::optional<QString> after = stashTip();
        stashed = after && after != before;
    }

    const bool strategyChosen = runGit(gitcmd::pullStrategy(), cwd, limits).has_value();
    const GitActionResult pulled = runGitAction(gitcmd::pull(strategyChosen), cwd, limits);
    if (pulled.success) {
        if (stashed && !succeeds(gitcmd::stashPop()))
            return {QString::fromStdString(Loc::smartPullStashFailed()), true};
        return {QString::fromStdString(Loc::updated()), true};
    }

    const QStringList conflicts = conflictedFiles(cwd, limits);
    succeeds(gitcmd::abortMerge());
    if (stashed) succeeds(gitcmd::stashPop());
    const QString detail = conflicts.isEmpty() ? pulled.output : conflicts.join(QStringLiteral(", "));
    return {QString::fromStdString(Loc::smartPullConflict(detail.toStdString())), false};
}
