#include "git/FileDiff.h"

#include "git/GitRunner.h"

QStringList fileDiffArguments(const QString& path, QChar x) {
    QStringList args{"diff", "--no-color"};
    if (QStringLiteral("MADRC").contains(x)) args << "--cached";
    return args << "--" << path;
}

QString loadFileDiff(const QString& topLevel, const QString& path, QChar x, int timeLimitMs) {
    const std::optional<QString> diff = runGit(fileDiffArguments(path, x), topLevel, timeLimitMs);
    return diff && !diff->isEmpty() ? *diff : QStringLiteral("No diff available");
}
