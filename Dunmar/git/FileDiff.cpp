#include "git/FileDiff.h"

#include "git/GitConfig.h"

QString loadFileDiff(const QString& topLevel, const QString& path, QChar x, const GitTimeLimits& limits) {
    // The filter drivers are read afresh: the diff runs the clean filter on the work tree's file.
    const QStringList drivers = readRepositoryConfig(topLevel, limits).filterDrivers;
    const std::optional<QString> diff = runGit(gitcmd::fileDiff(path, x, drivers), topLevel, limits);
    return diff && !diff->isEmpty() ? *diff : QStringLiteral("No diff available");
}
