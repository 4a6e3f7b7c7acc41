#include "git/GitOperations.h"

#include "localisation/Loc.h"

namespace {

const QString kErrorPrefix = QStringLiteral("Error: ");

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

} // namespace

GitOutcome initRepository(const QString& folder, const GitTimeLimits& limits) {
    const GitActionResult r = runGitAction(gitcmd::init(), folder, limits);
    return {r.success ? QString() : kErrorPrefix + r.output, r.success};
}

SaveOutcome saveAll(const QString& topLevel, const QString& message, const GitTimeLimits& limits) {
    const GitActionResult added = runGitAction(gitcmd::addAll(), topLevel, limits);
    if (!added.success) return {{kErrorPrefix + added.output, false}};
    const GitActionResult committed = runGitAction(gitcmd::commit(message), topLevel, limits);
    if (!committed.success) return {{kErrorPrefix + committed.output, false}, false, true};
    return {{qs(Loc::savedMsg()) + QStringLiteral(": ") + message, true}, true};
}

GitOutcome undoLastCommit(const QString& topLevel, const GitTimeLimits& limits) {
    const GitActionResult r = runGitAction(gitcmd::undoLastCommit(), topLevel, limits);
    if (r.success) return {QStringLiteral("Commit zurückgesetzt"), true};
    return {r.output.isEmpty() ? QStringLiteral("Reset fehlgeschlagen") : r.output, false};
}

GitOutcome upload(const QString& topLevel, const QString& remote, const QString& branch,
                  const QString& upstreamBranch, const GitTimeLimits& limits) {
    const GitActionResult r = runGitAction(gitcmd::push(remote, branch, upstreamBranch), topLevel, limits);
    return r.success ? GitOutcome{qs(Loc::uploaded()), true} : GitOutcome{kErrorPrefix + r.output, false};
}

GitActionResult publishToNewRemote(const QString& topLevel, const QString& url, const QString& branch,
                                   const GitTimeLimits& limits) {
    const QString origin = QStringLiteral("origin");
    if (!runGitAction(gitcmd::addRemote(origin, url), topLevel, limits).success)
        runGitAction(gitcmd::setRemoteUrl(origin, url), topLevel, limits);
    return runGitAction(gitcmd::push(origin, branch, QString()), topLevel, limits);
}
