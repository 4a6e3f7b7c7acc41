#include "editor/TextSearch.h"

namespace textsearch {

std::vector<Range> findAll(const QString& text, const QString& query) {
    std::vector<Range> matches;
    if (query.isEmpty()) return matches;
    qsizetype from = 0;
    while (from < text.size()) {
        const qsizetype at = text.indexOf(query, from, Qt::CaseInsensitive);
        if (at < 0) break;
        matches.push_back({static_cast<int>(at), static_cast<int>(query.size())});
        from = at + query.size();
    }
    return matches;
}

namespace {

// The partner of an opening or closing bracket, and which way to look for it.
std::optional<std::pair<QChar, int>> partnerOf(QChar c) {
    switch (c.unicode()) {
    case u'(':
        return std::pair{QChar(u')'), 1};
    case u'[':
        return std::pair{QChar(u']'), 1};
    case u'{':
        return std::pair{QChar(u'}'), 1};
    case u')':
        return std::pair{QChar(u'('), -1};
    case u']':
        return std::pair{QChar(u'['), -1};
    case u'}':
        return std::pair{QChar(u'{'), -1};
    default:
        return std::nullopt;
    }
}

std::optional<int> scan(const std::function<QChar(int)>& charAt, int length, int p, int limit) {
    const QChar self = charAt(p);
    const auto partner = partnerOf(self);
    if (!partner) return std::nullopt;
    const auto [other, step] = *partner;
    int depth = 1;
    if (step > 0) {
        const int end = std::min(length, p + 1 + limit);
        for (int i = p + 1; i < end; ++i) {
            const QChar c = charAt(i);
            if (c == self)
                ++depth;
            else if (c == other && --depth == 0)
                return i;
        }
    } else {
        if (p == 0) return std::nullopt;
        for (int i = p - 1; i >= std::max(0, p - limit); --i) {
            const QChar c = charAt(i);
            if (c == self)
                ++depth;
            else if (c == other && --depth == 0)
                return i;
        }
    }
    return std::nullopt;
}

} // namespace

std::optional<std::pair<int, int>> matchBracket(const std::function<QChar(int)>& charAt, int length,
                                                int caret, int limit) {
    for (const int p : {caret, caret - 1}) {
        if (p < 0 || p >= length) continue;
        if (const std::optional<int> match = scan(charAt, length, p, limit)) return std::pair{p, *match};
    }
    return std::nullopt;
}

} // namespace textsearch
