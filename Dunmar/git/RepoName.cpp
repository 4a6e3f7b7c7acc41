#include "git/RepoName.h"

#include <QStringList>

QString repositoryName(const QString& typed) {
    const QString lower = typed.toLower();
    QStringList pieces;
    QString piece;
    for (const char32_t c : lower.toUcs4()) {
        if (QChar::isLetterOrNumber(c) || QChar::isMark(c) || c == U'-' || c == U'_') {
            piece += QString::fromUcs4(&c, 1);
        } else {
            pieces << piece;
            piece.clear();
        }
    }
    pieces << piece;
    QString name = pieces.join(QLatin1Char('-'));
    while (name.startsWith(QLatin1Char('-'))) name.remove(0, 1);
    while (name.endsWith(QLatin1Char('-'))) name.chop(1);
    return name;
}
