#include "git/GitIgnore.h"

#include "platform/AtomicFile.h"
#include "platform/RegularFile.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>

std::optional<QString> gitignoreLine(const QString& path) {
    if (path.isEmpty() || path.contains(QLatin1Char('\n')) || path.contains(QLatin1Char('\r')))
        return std::nullopt;
    QString line = QStringLiteral("/");
    for (const QChar c : path) {
        if (c == u'\\' || c == u'*' || c == u'?' || c == u'[') line += QLatin1Char('\\');
        line += c;
    }
    // git drops trailing blanks of a line unless they are escaped.
    qsizetype end = line.size();
    while (end > 1 && line[end - 1] == u' ') --end;
    QString trailing;
    for (qsizetype i = end; i < line.size(); ++i) trailing += QStringLiteral("\\ ");
    return line.left(end) + trailing;
}

IgnoreOutcome addToGitignoreFile(const QString& gitRoot, const QString& path) {
    const std::optional<QString> line = gitignoreLine(path);
    if (!line) return IgnoreOutcome::failed;
    const QString file = gitRoot + QStringLiteral("/.gitignore");
    QString text;
    // The repository's own file: a FIFO or a file of any size may stand there. One that cannot be
    // read is left alone rather than replaced by a single line.
    if (QFileInfo::exists(file)) {
        const std::optional<QByteArray> bytes = regularfile::read(file, nullptr, kMaxGitignoreBytes);
        if (!bytes) return IgnoreOutcome::failed;
        text = QString::fromUtf8(*bytes);
    }
    if (text.split(QLatin1Char('\n')).contains(*line)) return IgnoreOutcome::alreadyIgnored;
    if (!text.isEmpty() && !text.endsWith(QLatin1Char('\n'))) text += QLatin1Char('\n');
    text += *line + QLatin1Char('\n');
    return atomicfile::write(file, text.toUtf8()) ? IgnoreOutcome::added : IgnoreOutcome::failed;
}
