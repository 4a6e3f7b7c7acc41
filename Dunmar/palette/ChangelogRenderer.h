#pragma once

#include <QString>
#include <QStringList>
#include <vector>

// Turns the changelog's Markdown, with the few HTML elements such files use (tables, collapsible
// sections, line breaks, keyboard keys, status badges), into a flat list of lines of one style
// each. Inline markup is removed, not rendered; tables become aligned monospaced text.
namespace changelog {

enum class LineStyle {
    title,
    heading,
    subheading,
    bold,
    code,
    separator,
    normal,
    tableRow,
    badge,
    alertImportant,
    alertNote,
    alertTip,
    listItem,
    tree,
};

struct StyledLine {
    QString text;
    LineStyle style = LineStyle::normal;
    bool operator==(const StyledLine&) const = default;
};

std::vector<StyledLine> renderMarkdown(const QString& markdown);

// The pieces, exposed for their tests.
QString cleanInline(const QString& text);
// The "label: message" of a status-badge image line, or an empty text when it is none.
QString parseBadge(const QString& line);
// The cells of a Markdown table row; empty when the line is none.
QStringList parseTableRow(const QString& line);
QStringList parseHTMLTableCells(const QString& row);
// Columns a text takes in a monospaced face: wide and emoji scalars count 2.
int displayWidth(const QString& text);

} // namespace changelog
