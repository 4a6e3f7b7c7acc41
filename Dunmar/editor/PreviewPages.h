#pragma once

#include <QColor>
#include <QString>
#include <QStringList>

// The pages that previews and prints show, built from a document's text.
namespace previewpages {

// What a file's extension previews as.
enum class Kind { none, html, markdown, svg, csv };
// By the lowercased extension: html/htm, md/markdown/mdown/mkd, svg, csv; anything else none.
Kind kindForExtension(const QString& extension);
bool isPreviewableExtension(const QString& extension);

// Pages come dark when the theme's terminal background is dark (brightness below 0.5, or no
// valid colour), light otherwise.
bool isDarkBackground(const QColor& terminalBackground);
// The text colour of the generated pages in either scheme.
QColor pageTextColor(bool isDark);

// A CSV text as a table page: the first non-blank line is the header, the other non-blank lines
// the rows, striped. Cells are split at every comma and trimmed; every cell shows as text. Only
// blank lines give the fragment "<p>Empty CSV</p>".
QString csvToHTML(const QString& csv, bool isDark);

// The visible screen of a terminal as a page of preformatted text, one line per row.
QString terminalPrintHTML(const QStringList& lines, bool isDark);

} // namespace previewpages
