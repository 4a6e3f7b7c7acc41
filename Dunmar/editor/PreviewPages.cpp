#include "editor/PreviewPages.h"

#include "editor/HtmlEscape.h"

namespace previewpages {

namespace {

QString trimmedBlanks(const QString& s) {
    qsizetype from = 0, to = s.size();
    while (from < to && (s[from] == u' ' || s[from] == u'\t')) ++from;
    while (to > from && (s[to - 1] == u' ' || s[to - 1] == u'\t')) --to;
    return s.mid(from, to - from);
}

QString cells(const QString& line, const QString& tag) {
    QString out;
    for (const QString& cell : line.split(u','))
        out += u'<' + tag + u'>' + htmlescape::text(trimmedBlanks(cell)) + QStringLiteral("</") + tag + u'>';
    return out;
}

} // namespace

Kind kindForExtension(const QString& extension) {
    const QString ext = extension.toLower();
    if (ext == QLatin1String("html") || ext == QLatin1String("htm")) return Kind::html;
    if (ext == QLatin1String("md") || ext == QLatin1String("markdown") || ext == QLatin1String("mdown") ||
        ext == QLatin1String("mkd"))
        return Kind::markdown;
    if (ext == QLatin1String("svg")) return Kind::svg;
    if (ext == QLatin1String("csv")) return Kind::csv;
    return Kind::none;
}

bool isPreviewableExtension(const QString& extension) {
    return kindForExtension(extension) != Kind::none;
}

bool isDarkBackground(const QColor& terminalBackground) {
    return !terminalBackground.isValid() || terminalBackground.valueF() < 0.5f;
}

QColor pageTextColor(bool isDark) {
    return isDark ? QColor(0xdd, 0xe1, 0xe7) : QColor(0x1c, 0x1c, 0x1e);
}

QString csvToHTML(const QString& csv, bool isDark) {
    QStringList lines;
    for (const QString& line : csv.split(u'\n'))
        if (!trimmedBlanks(line).isEmpty()) lines << line;
    if (lines.isEmpty()) return QStringLiteral("<p>Empty CSV</p>");

    QString table = QStringLiteral("<table width=\"100%\" cellspacing=\"0\"><thead><tr>") +
                    cells(lines.first(), QStringLiteral("th")) + QStringLiteral("</tr></thead><tbody>");
    for (qsizetype i = 1; i < lines.size(); ++i)
        table += (i % 2 == 1 ? QStringLiteral("<tr class=\"e\">") : QStringLiteral("<tr class=\"o\">")) +
                 cells(lines[i], QStringLiteral("td")) + QStringLiteral("</tr>");
    table += QStringLiteral("</tbody></table>");

    const char* const* c;
    static const char* const kDark[] = {"#0d0d10", "#dde1e7", "#1a1a28", "#2a2a3a", "#131318", "#17171f"};
    static const char* const kLight[] = {"#ffffff", "#1c1c1e", "#f3f4f6", "#e5e7eb", "#ffffff", "#f9fafb"};
    c = isDark ? kDark : kLight;
    return QStringLiteral("<!DOCTYPE html><html><head>\n<meta charset=\"utf-8\">\n<style>\n"
                          "body{background:%1;color:%2;font-family:sans-serif;font-size:13px;margin:16px}\n"
                          "table{border-collapse:collapse}\n"
                          "th{background:%3;font-weight:600;padding:8px 12px;text-align:left;"
                          "border-bottom:2px solid %4}\n"
                          "td{padding:6px 12px;border-bottom:1px solid %4}\n"
                          "tr.e{background:%5}tr.o{background:%6}\n"
                          "</style></head><body>")
               .arg(QLatin1String(c[0]), QLatin1String(c[1]), QLatin1String(c[2]), QLatin1String(c[3]),
                    QLatin1String(c[4]), QLatin1String(c[5])) +
           table + QStringLiteral("</body></html>");
}

QString terminalPrintHTML(const QStringList& lines, bool isDark) {
    QStringList escaped;
    escaped.reserve(lines.size());
    for (const QString& line : lines) escaped << htmlescape::text(line);
    return QStringLiteral("<!DOCTYPE html><html><head><meta charset=\"utf-8\">\n<style>\n"
                          "body{background:%1;color:%2;font-family:monospace;font-size:11px;margin:16px}\n"
                          "pre{font-family:monospace;font-size:11px;margin:0}\n"
                          "</style></head><body><pre>")
               .arg(isDark ? QLatin1String("#0d0d10") : QLatin1String("#ffffff"),
                    isDark ? QLatin1String("#d0d0d0") : QLatin1String("#1a1a1a")) +
           escaped.join(u'\n') + QStringLiteral("</pre></body></html>");
}

} // namespace previewpages
