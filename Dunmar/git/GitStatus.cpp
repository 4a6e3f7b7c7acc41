#include "git/GitStatus.h"

#include <QStringList>

std::vector<GitFileEntry> parsePorcelainZ(const QByteArray& output) {
    std::vector<GitFileEntry> entries;
    const QList<QByteArray> fields = output.split('\0');
    for (qsizetype i = 0; i < fields.size(); ++i) {
        const QByteArray& field = fields[i];
        if (field.size() < 4 || field[2] != ' ') continue;
        const QChar x = QLatin1Char(field[0]);
        const QChar y = QLatin1Char(field[1]);
        entries.push_back({QString::fromUtf8(field.mid(3)), x, y});
        if (x == u'R' || x == u'C' || y == u'R' || y == u'C') ++i; // the name it had before
    }
    return entries;
}

GitStatusTag statusTag(QChar x, QChar y) {
    static const QString staged = QStringLiteral("MADRC");
    if (x == u'?') return GitStatusTag::newFile;
    if (x == u'D' || y == u'D') return GitStatusTag::deleted;
    if (x == u'U' || y == u'U') return GitStatusTag::conflict;
    if (staged.contains(x) && (y == u'M' || y == u'D')) return GitStatusTag::readyAndModified;
    if (staged.contains(x)) return GitStatusTag::ready;
    return GitStatusTag::modified;
}

GitStatusTagStyle statusTagStyle(GitStatusTag tag) {
    auto rgb = [](double r, double g, double b, double a = 1.0) { return QColor::fromRgbF(r, g, b, a); };
    switch (tag) {
    case GitStatusTag::newFile:
        return {QStringLiteral("NEW"), rgb(0.45, 0.45, 0.45), rgb(0.6, 0.6, 0.6)};
    case GitStatusTag::deleted:
        return {QStringLiteral("DELETED"), rgb(1.0, 0.4, 0.4, 0.8), rgb(0.8, 0.5, 0.5, 0.8)};
    case GitStatusTag::conflict:
        return {QStringLiteral("KONFLIKT"), rgb(1.0, 0.35, 0.35), rgb(1.0, 0.5, 0.5)};
    case GitStatusTag::readyAndModified:
        return {QStringLiteral("BEREIT+MOD"), rgb(0.5, 0.85, 0.55), rgb(0.9, 0.75, 0.3)};
    case GitStatusTag::ready:
        return {QStringLiteral("BEREIT"), rgb(0.4, 0.85, 0.45), rgb(0.5, 0.8, 0.55)};
    case GitStatusTag::modified:
        break;
    }
    return {QStringLiteral("MODIFIED"), rgb(0.95, 0.7, 0.25), rgb(0.85, 0.7, 0.4)};
}

std::pair<int, int> parseAheadBehind(const QString& answer) {
    const QStringList pieces = answer.split(QLatin1Char('\t'), Qt::SkipEmptyParts);
    if (pieces.size() != 2) return {0, 0};
    bool ok = false;
    int ahead = pieces[0].toInt(&ok);
    if (!ok) ahead = 0;
    int behind = pieces[1].toInt(&ok);
    if (!ok) behind = 0;
    return {ahead, behind};
}
