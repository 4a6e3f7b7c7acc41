#include "webpicker/UrlHistory.h"

namespace urlhistory {
QString trimBlanks(const QString& text) {
    qsizetype start = 0, end = text.size();
    auto blank = [](QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); };
    while (start < end && blank(text[start])) ++start;
    while (end > start && blank(text[end - 1])) --end;
    return text.mid(start, end - start);
}

std::optional<QString> historyEntry(const QString& typed) {
    const QString text = trimBlanks(typed);
    if (text.isEmpty()) return std::nullopt;
    if (text.contains(QLatin1String("://"))) return text;
    const bool local = text.startsWith(QLatin1String("localhost")) ||
                       text.startsWith(QLatin1String("127.0.0.1")) ||
                       text.startsWith(QLatin1String("0.0.0.0"));
    return (local ? QStringLiteral("http://") : QStringLiteral("https://")) + text;
}

QStringList visited(QStringList history, const QString& typed) {
    const std::optional<QString> url = historyEntry(typed);
    if (!url) return history;
    history.removeAll(*url);
    history.prepend(*url);
    if (history.size() > kMaxEntries) history = history.mid(0, kMaxEntries);
    return history;
}

QStringList suggestions(const QStringList& history, const QString& query) {
    const QString q = trimBlanks(query).toLower();
    QStringList out;
    for (const QString& url : history) {
        if (out.size() == kMaxSuggestions) break;
        if (q.isEmpty() || url.toLower().contains(q)) out << url;
    }
    return out;
}

} // namespace urlhistory
