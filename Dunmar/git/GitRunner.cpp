#include "git/GitRunner.h"

#include "platform/GitPath.h"

#include <QStringDecoder>

namespace {

std::optional<QString> strictUtf8(const QByteArray& bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(bytes);
    if (decoder.hasError()) return std::nullopt;
    return text;
}

int timeLimitOf(const GitCommand& command, const GitTimeLimits& limits) {
    return command.network ? limits.networkMs : limits.localMs;
}

} // namespace

ChildRun runGitCommand(const GitCommand& command, const QString& cwd, const GitTimeLimits& limits) {
    if (cwd.isEmpty()) {
        ChildRun none;
        none.launchError = QStringLiteral("No folder to run git in");
        return none;
    }
    return runChild(gitExecutablePath(), command.argv, cwd, command.environment,
                    timeLimitOf(command, limits));
}

std::optional<QString> runGit(const GitCommand& command, const QString& cwd, const GitTimeLimits& limits) {
    const ChildRun run = runGitCommand(command, cwd, limits);
    if (!run.succeeded()) return std::nullopt;
    std::optional<QString> text = strictUtf8(run.out);
    if (!text) return std::nullopt;
    while (text->endsWith(QLatin1Char('\n')) || text->endsWith(QLatin1Char('\r'))) text->chop(1);
    return text;
}

GitActionResult runGitAction(const GitCommand& command, const QString& cwd, const GitTimeLimits& limits) {
    const ChildRun run = runGitCommand(command, cwd, limits);
    if (!run.started) return {false, run.launchError};
    if (run.timedOut)
        return {false, QStringLiteral("git did not finish within %1 s and was stopped")
                           .arg((timeLimitOf(command, limits) + 999) / 1000)};
    const QString out = strictUtf8(run.out).value_or(QString()).trimmed();
    const QString err = strictUtf8(run.err).value_or(QString()).trimmed();
    return run.exitCode == 0 ? GitActionResult{true, out} : GitActionResult{false, err};
}

QStringList conflictedFiles(const QString& cwd, const GitTimeLimits& limits) {
    const ChildRun run = runGitCommand(gitcmd::unmergedPaths(), cwd, limits);
    if (!run.succeeded()) return {};
    QStringList paths;
    for (const QByteArray& piece : run.out.split('\0'))
        if (!piece.isEmpty()) paths << QString::fromUtf8(piece);
    return paths;
}
