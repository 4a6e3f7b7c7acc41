#include "bell/BellPreviewItem.h"
#include "engine/Terminal.h"

#include <QChar>
#include <limits>

namespace {

constexpr char32_t kMarker = U'\u276F'; // ❯

// Leading digits as written, read as a decimal number; none for digits other than ASCII 0-9 (a
// menu numbered in another script is not a menu the user can answer with arrows) or too large.
std::optional<qint64> decimal(const std::u32string& digits) {
    qint64 value = 0;
    for (char32_t c : digits) {
        if (c < U'0' || c > U'9') return std::nullopt;
        const int digit = int(c - U'0');
        if (value > (std::numeric_limits<qint64>::max() - digit) / 10) return std::nullopt;
        value = value * 10 + digit;
    }
    return value;
}

} // namespace

std::optional<ParsedOptions> parseOptions(const QStringList& lines) {
    ParsedOptions parsed;
    for (const QString& line : lines) {
        std::u32string t = line.trimmed().toStdU32String();
        const bool marked = (!t.empty() && t.front() == kMarker) || (t.size() >= 2 && t.front() == U'>');
        if (marked) t = QString::fromStdU32String(t.substr(1)).trimmed().toStdU32String();

        std::size_t end = 0;
        while (end < t.size() && QChar::isNumber(t[end])) ++end;
        if (end == 0) continue;
        const std::optional<qint64> number = decimal(t.substr(0, end));
        if (!number) continue;
        if (end >= t.size() || (t[end] != U'.' && t[end] != U')')) continue;

        const QString label = QString::fromStdU32String(t.substr(end + 1)).trimmed();
        if (marked) parsed.highlighted = int(parsed.options.size());
        parsed.options.push_back({*number, label});
    }
    if (parsed.options.size() < 2) return std::nullopt;
    return parsed;
}

QStringList extractLastLines(const Terminal& terminal, int count) {
    QStringList kept;
    for (std::int64_t row = 0; row < terminal.rows(); ++row) {
        const std::span<const Cell> cells = terminal.gridRow(row);
        if (cells.empty()) break;
        std::u32string text;
        const std::size_t width = std::min<std::size_t>(cells.size(), std::size_t(terminal.cols()));
        for (std::size_t x = 0; x < width; ++x) {
            const Cell& cell = cells[x];
            if (cell.width == 0) continue;
            char32_t one = 0;
            const std::u32string_view chars = terminal.textOf(cell, one);
            if (chars.size() == 1 && chars[0] == 0)
                text.push_back(U' ');
            else
                text += chars;
        }
        const QString line = QString::fromStdU32String(text).trimmed();
        if (!line.isEmpty()) kept.append(line);
    }
    if (count <= 0) return {};
    if (kept.size() > count) kept = kept.mid(kept.size() - count);
    return kept;
}
