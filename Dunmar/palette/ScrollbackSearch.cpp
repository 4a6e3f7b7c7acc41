#include "palette/ScrollbackSearch.h"

#include "engine/Terminal.h"

#include <QChar>
#include <QList>
#include <algorithm>
#include <span>

namespace {

char32_t lowered(char32_t c) {
    if (c < 0x80) return (c >= U'A' && c <= U'Z') ? c + 32 : c;
    // The capital I with a dot has only a two-code-point lowercase form ("i" and a combining dot),
    // which the one-per-cell rule cannot take; its letter is "i".
    if (c == 0x130) return U'i';
    return char32_t(QChar::toLower(uint(c)));
}

// Adds the matches of `needle` in one line: the line's cells, lowercased one code point each.
void searchLine(const Terminal& terminal, std::span<const Cell> cells, const std::u32string& needle,
                std::int64_t row, std::int64_t typedLength, std::u32string& text,
                std::vector<SearchHighlight>& out) {
    text.resize(cells.size());
    for (std::size_t i = 0; i < cells.size(); ++i) {
        char32_t c = terminal.baseOf(cells[i]);
        if (c == 0) c = U' ';
        text[i] = lowered(c);
    }
    const std::size_t n = needle.size();
    if (n > text.size()) return;
    const char32_t first = needle[0];
    const char32_t* data = text.data();
    const std::size_t last = text.size() - n;
    for (std::size_t at = 0; at <= last;) {
        if (data[at] != first ||
            (n > 1 && std::char_traits<char32_t>::compare(data + at + 1, needle.data() + 1, n - 1))) {
            ++at;
            continue;
        }
        out.push_back(SearchHighlight{row, std::int64_t(at), typedLength});
        at += n; // matches do not overlap
    }
}

} // namespace

std::vector<SearchHighlight> findScrollbackMatches(const Terminal& terminal, const QString& query) {
    std::vector<SearchHighlight> matches;
    findScrollbackMatches(terminal, query, matches);
    return matches;
}

void findScrollbackMatches(const Terminal& terminal, const QString& query,
                           std::vector<SearchHighlight>& matches) {
    matches.clear();
    const QList<uint> typed = query.toUcs4();
    if (typed.isEmpty()) return;
    std::u32string needle;
    for (uint c : typed) needle.push_back(lowered(char32_t(c)));
    const std::int64_t typedLength = typed.size();

    std::u32string text;
    const Scrollback& scrollback = terminal.scrollback();
    const auto held = std::int64_t(scrollback.size());
    for (std::int64_t i = 0; i < held; ++i)
        searchLine(terminal, scrollback.line(std::size_t(i)), needle, i - held, typedLength, text, matches);
    for (std::int64_t r = 0; r < terminal.rows(); ++r) {
        std::span<const Cell> row = terminal.gridRow(r);
        row = row.first(std::min<std::size_t>(row.size(), std::size_t(terminal.cols())));
        searchLine(terminal, row, needle, r, typedLength, text, matches);
    }
}
