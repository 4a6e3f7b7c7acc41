#include "terminalview/PasteEncoding.h"

#include <QChar>

namespace pasting {

namespace {

bool isBareCharacter(char32_t c) {
    static const QString allowed = QStringLiteral("/_.-+:@");
    if (c < 0x80)
        return (c >= U'a' && c <= U'z') || (c >= U'A' && c <= U'Z') || (c >= U'0' && c <= U'9') ||
               allowed.contains(QChar(char16_t(c)));
    return QChar::isLetter(c) || QChar::isDigit(c);
}

} // namespace

QString shellWordForPath(const QString& path) {
    bool bare = !path.isEmpty();
    for (const char32_t c : path.toUcs4()) {
        if (!isBareCharacter(c)) {
            bare = false;
            break;
        }
    }
    if (bare) return path;
    QString quoted = path;
    quoted.replace(QLatin1Char('\''), QLatin1String("'\\''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

QString shellWordsForPaths(const QStringList& paths) {
    QStringList words;
    words.reserve(paths.size());
    for (const QString& path : paths) words.append(shellWordForPath(path));
    return words.join(QLatin1Char(' '));
}

} // namespace pasting
