#include "palette/ChangelogRenderer.h"

#include <QHash>
#include <QRegularExpression>
#include <algorithm>
#include <optional>
#include <utility>

namespace changelog {

namespace {

const QString kSeparator = QString(45, QChar(0x2500));
const QString kListPrefix = QStringLiteral("  \u2022 ");
const QString kBadgeJoiner = QStringLiteral("  \u2022  ");
const QString kCellJoiner = QStringLiteral("  \u2502  ");
const QString kIndent = QStringLiteral("  ");
const QString kSummaryPrefix = QStringLiteral("\u25BC ");
const QChar kRule(0x2500);
const QString kBadgeHost = QStringLiteral("img.shields.io/badge/");

QString emoji(std::initializer_list<char32_t> scalars) {
    std::u32string s(scalars);
    return QString::fromUcs4(s.data(), qsizetype(s.size()));
}

const std::vector<std::pair<QString, QString>>& emojiMap() {
    static const std::vector<std::pair<QString, QString>> map{
        {QStringLiteral("art"), emoji({0x1F3A8})},
        {QStringLiteral("gem"), emoji({0x1F48E})},
        {QStringLiteral("pencil2"), emoji({0x270F, 0xFE0F})},
        {QStringLiteral("rocket"), emoji({0x1F680})},
        {QStringLiteral("flashlight"), emoji({0x1F526})},
        {QStringLiteral("crystal_ball"), emoji({0x1F52E})},
        {QStringLiteral("globe_with_meridians"), emoji({0x1F310})},
        {QStringLiteral("arrow_up_small"), emoji({0x1F53C})},
        {QStringLiteral("triangular_ruler"), emoji({0x1F4D0})},
        {QStringLiteral("card_index_dividers"), emoji({0x1F5C2})},
        {QStringLiteral("mouse2"), emoji({0x1F401})},
        {QStringLiteral("straight_ruler"), emoji({0x1F4CF})},
        {QStringLiteral("computer_mouse"), emoji({0x1F5B1})},
        {QStringLiteral("mag"), emoji({0x1F50D})},
        {QStringLiteral("eyes"), emoji({0x1F440})},
        {QStringLiteral("gear"), emoji({0x2699, 0xFE0F})},
        {QStringLiteral("clipboard"), emoji({0x1F4CB})},
        {QStringLiteral("floppy_disk"), emoji({0x1F4BE})},
        {QStringLiteral("paperclip"), emoji({0x1F4CE})},
        {QStringLiteral("lock"), emoji({0x1F512})},
        {QStringLiteral("link"), emoji({0x1F517})},
        {QStringLiteral("pushpin"), emoji({0x1F4CC})},
        {QStringLiteral("framed_picture"), emoji({0x1F5BC})},
        {QStringLiteral("electric_plug"), emoji({0x1F50C})},
        {QStringLiteral("keyboard"), emoji({0x2328, 0xFE0F})},
        {QStringLiteral("stop_button"), emoji({0x23F9})},
        {QStringLiteral("zap"), emoji({0x26A1})},
        {QStringLiteral("heavy_plus_sign"), emoji({0x2795})},
        {QStringLiteral("desktop_computer"), emoji({0x1F5A5})},
        {QStringLiteral("heavy_multiplication_x"), emoji({0x2716})},
        {QStringLiteral("scroll"), emoji({0x1F4DC})},
        {QStringLiteral("arrow_right"), emoji({0x27A1})},
        {QStringLiteral("left_right_arrow"), emoji({0x2194, 0xFE0F})},
        {QStringLiteral("arrow_down"), emoji({0x2B07})},
        {QStringLiteral("id"), emoji({0x1FAAA})},
        {QStringLiteral("broom"), emoji({0x1F9F9})},
        {QStringLiteral("arrows_counterclockwise"), emoji({0x1F504})},
        {QStringLiteral("eye"), emoji({0x1F441})},
        {QStringLiteral("question"), emoji({0x2753})},
        {QStringLiteral("hand"), emoji({0x270B})},
        {QStringLiteral("point_right"), emoji({0x1F449})},
        {QStringLiteral("speech_balloon"), emoji({0x1F4AC})},
        {QStringLiteral("trackball"), emoji({0x1F5B2})},
    };
    return map;
}

// Spaces and tabs off both ends; line breaks and carriage returns stay.
QString trimBlanks(const QString& s) {
    qsizetype start = 0, end = s.size();
    while (start < end && (s[start] == QLatin1Char(' ') || s[start] == QLatin1Char('\t'))) ++start;
    while (end > start && (s[end - 1] == QLatin1Char(' ') || s[end - 1] == QLatin1Char('\t'))) --end;
    return s.mid(start, end - start);
}

QString trimBlanksAndBreaks(const QString& s) {
    qsizetype start = 0, end = s.size();
    const auto blank = [](QChar c) {
        return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n') ||
               c == QLatin1Char('\r');
    };
    while (start < end && blank(s[start])) ++start;
    while (end > start && blank(s[end - 1])) --end;
    return s.mid(start, end - start);
}

struct PendingTable {
    std::vector<QStringList> rows;
    std::vector<bool> isHeader;
};

void flushTable(PendingTable& table, std::vector<StyledLine>& out) {
    if (table.rows.empty()) return;
    qsizetype columns = 0;
    for (const QStringList& row : table.rows) columns = std::max(columns, row.size());
    std::vector<int> shown;
    std::vector<int> widths;
    for (int c = 0; c < columns; ++c) {
        int widest = 0;
        for (const QStringList& row : table.rows)
            if (c < row.size()) widest = std::max(widest, displayWidth(row[c]));
        if (widest >= 3) {
            shown.push_back(c);
            widths.push_back(widest);
        }
    }
    if (shown.empty()) {
        table = {};
        return;
    }
    out.push_back({QString(), LineStyle::normal});
    for (std::size_t r = 0; r < table.rows.size(); ++r) {
        const QStringList& row = table.rows[r];
        QStringList cells;
        for (std::size_t k = 0; k < shown.size(); ++k) {
            QString cell = shown[k] < row.size() ? row[shown[k]] : QString();
            if (k + 1 < shown.size()) {
                const int pad = widths[k] - displayWidth(cell);
                if (pad > 0) cell += QString(pad, QLatin1Char(' '));
            }
            cells << cell;
        }
        const bool header = table.isHeader[r];
        out.push_back(
            {kIndent + cells.join(kCellJoiner), header ? LineStyle::subheading : LineStyle::tableRow});
        if (header) {
            int length = 2;
            for (std::size_t k = 0; k < shown.size(); ++k)
                length += k + 1 < shown.size() ? widths[k] + 5 : widths[k];
            out.push_back({kIndent + QString(length, kRule), LineStyle::separator});
        }
    }
    out.push_back({QString(), LineStyle::normal});
    table = {};
}

} // namespace

int displayWidth(const QString& text) {
    int width = 0;
    for (const char32_t c : text.toUcs4()) {
        const bool wide = (c >= 0x1100 && c <= 0x115F) || (c >= 0x2600 && c <= 0x27BF) ||
                          (c >= 0x2B50 && c <= 0x2B55) || (c >= 0x2E80 && c <= 0x9FFF) ||
                          (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE00 && c <= 0xFE0F) || c >= 0x1F000;
        width += wide ? 2 : 1;
    }
    return width;
}

QString cleanInline(const QString& input) {
    QString s = input;
    // Keyboard keys become "[key]". Each step pairs the first "<kbd>" with the first "</kbd>"
    // after it; a "</kbd>" that stands before every "<kbd>" is dropped, so the loop always shrinks
    // the text and ends.
    static const QString open = QStringLiteral("<kbd>");
    static const QString close = QStringLiteral("</kbd>");
    while (s.contains(open) && s.contains(close)) {
        const qsizetype o = s.indexOf(open);
        const qsizetype c = s.indexOf(close, o + open.size());
        if (c < 0) {
            s.remove(s.indexOf(close), close.size());
            continue;
        }
        s = s.left(o) + QLatin1Char('[') + s.mid(o + open.size(), c - o - open.size()) + QLatin1Char(']') +
            s.mid(c + close.size());
    }
    static const QRegularExpression tags(QStringLiteral("<[^>]+>"));
    s.remove(tags);
    s.remove(QStringLiteral("**"));
    s.remove(QStringLiteral("__"));
    s.remove(QLatin1Char('`'));
    if (s.size() >= 3 && s.startsWith(QLatin1Char('*')) && s.endsWith(QLatin1Char('*')))
        s = s.mid(1, s.size() - 2);
    for (const auto& [name, glyph] : emojiMap()) s.replace(QLatin1Char(':') + name + QLatin1Char(':'), glyph);
    static const QRegularExpression shortcodes(QStringLiteral(":[a-z_]+:"));
    s.remove(shortcodes);
    return s;
}

QString parseBadge(const QString& line) {
    const qsizetype at = line.indexOf(kBadgeHost);
    if (at < 0) return QString();
    QString rest = line.mid(at + kBadgeHost.size());
    if (const qsizetype q = rest.indexOf(QLatin1Char('?')); q >= 0) rest.truncate(q);
    if (const qsizetype p = rest.indexOf(QLatin1Char(')')); p >= 0) rest.truncate(p);
    rest.replace(QStringLiteral("%2B"), QStringLiteral("+"));
    rest.replace(QStringLiteral("%20"), QStringLiteral(" "));
    rest.replace(QLatin1Char('_'), QLatin1Char(' '));
    const QStringList parts = rest.split(QLatin1Char('-'));
    if (parts.size() == 1) return parts[0];
    return parts[0] + QStringLiteral(": ") + parts[1];
}

QStringList parseTableRow(const QString& line) {
    if (!line.startsWith(QLatin1Char('|'))) return {};
    QStringList pieces = line.split(QLatin1Char('|'));
    if (pieces.size() < 2) return {};
    pieces.removeFirst();
    pieces.removeLast();
    QStringList cells;
    for (const QString& piece : pieces) cells << cleanInline(trimBlanks(piece));
    return cells;
}

QStringList parseHTMLTableCells(const QString& row) {
    QStringList cells;
    QString rest = row;
    for (;;) {
        qsizetype tag = rest.indexOf(QStringLiteral("<td"));
        bool header = false;
        if (tag < 0) {
            tag = rest.indexOf(QStringLiteral("<th"));
            header = true;
        }
        if (tag < 0) break;
        const QString closing = header ? QStringLiteral("</th>") : QStringLiteral("</td>");
        const qsizetype gt = rest.indexOf(QLatin1Char('>'), tag);
        if (gt < 0) break;
        const qsizetype end = rest.indexOf(closing, gt + 1);
        const QString content = end < 0 ? rest.mid(gt + 1) : rest.mid(gt + 1, end - gt - 1);
        cells << cleanInline(trimBlanksAndBreaks(content));
        if (end < 0) break;
        rest = rest.mid(end + closing.size());
    }
    return cells;
}

std::vector<StyledLine> renderMarkdown(const QString& markdown) {
    std::vector<StyledLine> out;
    PendingTable table;
    bool inCode = false;
    bool inHTMLTable = false;
    QString htmlRow;
    bool htmlRowHasHeader = false;
    // The pending alert style; `normal` stands for none.
    LineStyle alert = LineStyle::normal;

    for (const QString& raw : markdown.split(QLatin1Char('\n'))) {
        const QString t = trimBlanks(raw);
        const auto starts = [&t](const char* prefix) { return t.startsWith(QLatin1String(prefix)); };

        if (!starts("|") && !inHTMLTable && !table.rows.empty()) flushTable(table, out);
        if (starts("<table")) {
            inHTMLTable = true;
            continue;
        }
        if (starts("</table")) {
            flushTable(table, out);
            inHTMLTable = false;
            continue;
        }
        if (inHTMLTable) {
            if (starts("<thead") || starts("</thead") || starts("<tbody") || starts("</tbody")) {
            } else if (starts("<tr")) {
                htmlRow.clear();
                htmlRowHasHeader = false;
            } else if (starts("</tr")) {
                const QStringList cells = parseHTMLTableCells(htmlRow);
                if (!cells.isEmpty()) {
                    table.isHeader.push_back(table.rows.empty() || htmlRowHasHeader);
                    table.rows.push_back(cells);
                }
                htmlRow.clear();
            } else {
                if (starts("<th")) htmlRowHasHeader = true;
                htmlRow += QLatin1Char(' ') + t;
            }
            continue;
        }

        bool clearsAlert = false;
        if (starts("<div") || starts("</div")) {
        } else if (t == QLatin1String("<br>") || t == QLatin1String("<br/>") ||
                   t == QLatin1String("<br />")) {
        } else if (starts("<details") || starts("</details")) {
        } else if (starts("<summary")) {
            out.push_back({QString(), LineStyle::normal});
            out.push_back({kSummaryPrefix + cleanInline(t), LineStyle::subheading});
        } else if (starts("```")) {
            inCode = !inCode;
        } else if (inCode) {
            out.push_back({kIndent + raw, LineStyle::code});
        } else if (starts("![")) {
            QStringList badges;
            QString rest = t;
            while (rest.startsWith(QLatin1String("!["))) {
                const QString badge = parseBadge(rest);
                if (!badge.isEmpty()) badges << badge;
                const qsizetype close = rest.indexOf(QLatin1Char(')'));
                if (close < 0) break;
                rest = trimBlanks(rest.mid(close + 1));
            }
            if (!badges.isEmpty()) out.push_back({badges.join(kBadgeJoiner), LineStyle::badge});
        } else if (starts("> [!IMPORTANT]")) {
            alert = LineStyle::alertImportant;
        } else if (starts("> [!NOTE]")) {
            alert = LineStyle::alertNote;
        } else if (starts("> [!TIP]")) {
            alert = LineStyle::alertTip;
        } else if (starts(">")) {
            const QString rest = t.mid(starts("> ") ? 2 : 1);
            if (!trimBlanks(rest).isEmpty()) {
                const bool alerted = alert != LineStyle::normal;
                out.push_back({kIndent + cleanInline(rest), alerted ? alert : LineStyle::bold});
                clearsAlert = !alerted;
            }
        } else {
            clearsAlert = true;
            if (starts("# ")) {
                out.push_back({cleanInline(t.mid(2)), LineStyle::title});
            } else if (starts("## ")) {
                out.push_back({QString(), LineStyle::normal});
                out.push_back({cleanInline(t.mid(3)).toUpper(), LineStyle::heading});
            } else if (starts("### ")) {
                out.push_back({QString(), LineStyle::normal});
                out.push_back({cleanInline(t.mid(4)), LineStyle::subheading});
            } else if (starts("---")) {
                out.push_back({kSeparator, LineStyle::separator});
            } else if (starts("|")) {
                QString stripped = t;
                stripped.remove(QRegularExpression(QStringLiteral("[-|: ]")));
                if (!stripped.isEmpty()) {
                    const QStringList cells = parseTableRow(t);
                    if (!cells.isEmpty()) {
                        table.isHeader.push_back(table.rows.empty());
                        table.rows.push_back(cells);
                    }
                }
            } else if (starts("- ") || starts("* ")) {
                out.push_back({kListPrefix + cleanInline(t.mid(2)), LineStyle::listItem});
            } else if (t.startsWith(QChar(0x2502)) || t.startsWith(QChar(0x251C)) ||
                       t.startsWith(QChar(0x2514)) || t.startsWith(QChar(0x250C))) {
                out.push_back({kIndent + t, LineStyle::tree});
            } else if (t.isEmpty()) {
                out.push_back({QString(), LineStyle::normal});
            } else {
                out.push_back({cleanInline(t), LineStyle::normal});
            }
        }
        if (clearsAlert) alert = LineStyle::normal;
    }
    if (!table.rows.empty()) flushTable(table, out);
    return out;
}

} // namespace changelog
