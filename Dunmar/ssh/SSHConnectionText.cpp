#include "ssh/SSHConnectionText.h"

namespace {

struct Split {
    QString first;
    QString rest;
};

// Splits at the first separator that ends a non-empty piece: leading separators are skipped, and
// with no piece at all both halves are empty.
Split splitAtFirst(const QString& text, QChar separator) {
    qsizetype start = 0;
    while (start < text.size() && text[start] == separator) ++start;
    if (start == text.size()) return {};
    const qsizetype end = text.indexOf(separator, start);
    if (end < 0) return {text.mid(start), QString()};
    return {text.mid(start, end - start), text.mid(end + 1)};
}

// A decimal number with an optional sign that fits 64 bits; nothing else.
std::optional<qint64> decimalInteger(const QString& text) {
    qsizetype i = 0;
    if (i < text.size() && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) ++i;
    if (i == text.size()) return std::nullopt;
    for (qsizetype k = i; k < text.size(); ++k)
        if (text[k] < QLatin1Char('0') || text[k] > QLatin1Char('9')) return std::nullopt;
    bool ok = false;
    const qint64 value = text.toLongLong(&ok, 10);
    if (!ok) return std::nullopt;
    return value;
}

} // namespace

QString trimBlanks(const QString& text) {
    qsizetype begin = 0, end = text.size();
    auto blank = [](QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); };
    while (begin < end && blank(text[begin])) ++begin;
    while (end > begin && blank(text[end - 1])) --end;
    return text.mid(begin, end - begin);
}

std::optional<SSHConnectionTarget> parseConnectionText(const QString& input) {
    const QString text = trimBlanks(input);
    if (text.isEmpty()) return std::nullopt;
    SSHConnectionTarget target;
    QString rest;
    if (text.contains(QLatin1Char('@'))) {
        const Split split = splitAtFirst(text, QLatin1Char('@'));
        target.user = split.first;
        rest = split.rest;
    } else {
        target.user = QStringLiteral("root");
        rest = text;
    }
    if (rest.contains(QLatin1Char(':'))) {
        const Split split = splitAtFirst(rest, QLatin1Char(':'));
        target.host = split.first;
        if (!split.rest.isEmpty()) target.port = decimalInteger(split.rest).value_or(22);
    } else {
        target.host = rest;
    }
    if (target.host.isEmpty()) return std::nullopt;
    return target;
}
