#include "updater/VersionCompare.h"

#include <QList>
#include <QStringList>
#include <algorithm>

namespace {

// Decimal with an optional sign and nothing else; anything longer than a 64-bit value does not
// parse either, like any other malformed piece.
bool parsePiece(const QString& piece, qint64* value) {
    int start = (piece.startsWith(u'+') || piece.startsWith(u'-')) ? 1 : 0;
    if (start == piece.size()) return false;
    for (int i = start; i < piece.size(); ++i)
        if (piece[i] < u'0' || piece[i] > u'9') return false;
    bool ok = false;
    *value = piece.toLongLong(&ok);
    return ok;
}

QList<qint64> versionNumbers(QString text) {
    if (text.startsWith(u'v')) text.remove(0, 1);
    QList<qint64> numbers;
    for (const QString& piece : text.split(u'.', Qt::SkipEmptyParts)) {
        qint64 value = 0;
        if (parsePiece(piece, &value)) numbers.append(value);
    }
    return numbers;
}

} // namespace

bool isNewerVersion(const QString& remote, const QString& local) {
    const QList<qint64> r = versionNumbers(remote);
    const QList<qint64> l = versionNumbers(local);
    const qsizetype n = std::max(r.size(), l.size());
    for (qsizetype i = 0; i < n; ++i) {
        const qint64 a = i < r.size() ? r[i] : 0;
        const qint64 b = i < l.size() ? l[i] : 0;
        if (a != b) return a > b;
    }
    return false;
}
