#include "editor/MarkdownToHtml.h"

#include "editor/HtmlEscape.h"

#include <QRegularExpression>
#include <QStringList>

namespace markdown {

namespace {

// Only these targets become links: a page script or a local program started from a preview is
// not what a Markdown link should be able to do.
bool isAllowedTarget(const QString& escapedTarget) {
    for (QChar c : escapedTarget)
        if (c.unicode() < 0x20 || c.unicode() == 0x7f) return false;
    const QString lower = escapedTarget.toLower();
    if (lower.startsWith(QStringLiteral("http://")) || lower.startsWith(QStringLiteral("https://")) ||
        lower.startsWith(QStringLiteral("mailto:")))
        return true;
    // Relative: no scheme before the first path, query or fragment character.
    const qsizetype colon = escapedTarget.indexOf(u':');
    if (colon < 0) return true;
    for (qsizetype i = 0; i < colon; ++i) {
        const QChar c = escapedTarget[i];
        if (c == u'/' || c == u'?' || c == u'#') return true;
    }
    return false;
}

QString linksReplaced(const QString& text) {
    static const QRegularExpression link(QStringLiteral("\\[([^\\]]+)\\]\\(([^)]+)\\)"));
    QString out;
    qsizetype last = 0;
    auto it = link.globalMatch(text);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        out += QStringView(text).mid(last, m.capturedStart() - last);
        const QString label = m.captured(1);
        const QString target = m.captured(2);
        if (isAllowedTarget(target)) {
            // The target is already escaped as text; quotes are what could still end the attribute.
            QString href = target;
            href.replace(u'"', QStringLiteral("&quot;"));
            href.replace(u'\'', QStringLiteral("&#39;"));
            out +=
                QStringLiteral("<a href=\"") + href + QStringLiteral("\">") + label + QStringLiteral("</a>");
        } else {
            out += label;
        }
        last = m.capturedEnd();
    }
    out += QStringView(text).mid(last);
    return out;
}

QString codeBlock(const QStringList& lines) {
    QStringList escaped;
    escaped.reserve(lines.size());
    for (const QString& line : lines) escaped << htmlescape::text(line);
    return QStringLiteral("<table class=\"pre\" width=\"100%\" cellspacing=\"0\" cellpadding=\"16\"><tr><td>"
                          "<pre><code>") +
           escaped.join(u'\n') + QStringLiteral("</code></pre></td></tr></table>\n");
}

} // namespace

QString inlineHTML(const QString& text) {
    static const QRegularExpression code(QStringLiteral("`([^`]+)`"));
    static const QRegularExpression del(QStringLiteral("~~([^~]+)~~"));
    static const QRegularExpression strong(QStringLiteral("\\*\\*([^*]+)\\*\\*"));
    static const QRegularExpression em(QStringLiteral("\\*([^*\\n]+)\\*"));
    QString out = htmlescape::text(text);
    out.replace(code, QStringLiteral("<code>\\1</code>"));
    out.replace(del, QStringLiteral("<del>\\1</del>"));
    out.replace(strong, QStringLiteral("<strong>\\1</strong>"));
    out.replace(em, QStringLiteral("<em>\\1</em>"));
    return linksReplaced(out);
}

QString body(const QString& markdown) {
    static const QRegularExpression numbered(QStringLiteral("^\\d+\\. "));
    QString html;
    bool inCode = false, inParagraph = false, inBullets = false, inNumbers = false;
    QStringList codeLines;
    const auto closeBlocks = [&] {
        if (inParagraph) html += QStringLiteral("</p>\n");
        if (inBullets) html += QStringLiteral("</ul>\n");
        if (inNumbers) html += QStringLiteral("</ol>\n");
        inParagraph = inBullets = inNumbers = false;
    };
    static const std::pair<QString, int> kHeadings[] = {{QStringLiteral("#### "), 4},
                                                        {QStringLiteral("### "), 3},
                                                        {QStringLiteral("## "), 2},
                                                        {QStringLiteral("# "), 1}};

    for (const QString& line : markdown.split(u'\n')) {
        if (line.startsWith(QStringLiteral("```"))) {
            if (!inCode) {
                closeBlocks();
                inCode = true;
            } else {
                html += codeBlock(codeLines);
                codeLines.clear();
                inCode = false;
            }
            continue;
        }
        if (inCode) {
            codeLines << line;
            continue;
        }
        QString trimmed = line;
        while (!trimmed.isEmpty() && (trimmed.front() == u' ' || trimmed.front() == u'\t'))
            trimmed.remove(0, 1);
        while (!trimmed.isEmpty() && (trimmed.back() == u' ' || trimmed.back() == u'\t')) trimmed.chop(1);
        if (trimmed.isEmpty()) {
            closeBlocks();
            continue;
        }
        bool heading = false;
        for (const auto& [marker, level] : kHeadings) {
            if (!line.startsWith(marker)) continue;
            closeBlocks();
            const QString tag = QStringLiteral("h") + QString::number(level);
            html += u'<' + tag + u'>' + inlineHTML(line.mid(marker.size())) + QStringLiteral("</") + tag +
                    QStringLiteral(">\n");
            heading = true;
            break;
        }
        if (heading) continue;
        if (trimmed == QLatin1String("---") || trimmed == QLatin1String("***") ||
            trimmed == QLatin1String("___")) {
            closeBlocks();
            html += QStringLiteral("<hr/>\n");
            continue;
        }
        if (line.startsWith(QStringLiteral("- ")) || line.startsWith(QStringLiteral("* "))) {
            if (inParagraph) html += QStringLiteral("</p>\n");
            if (inNumbers) html += QStringLiteral("</ol>\n");
            if (!inBullets) html += QStringLiteral("<ul>\n");
            html += QStringLiteral("<li>") + inlineHTML(line.mid(2)) + QStringLiteral("</li>\n");
            inBullets = true;
            inParagraph = inNumbers = false;
            continue;
        }
        if (const QRegularExpressionMatch m = numbered.match(line); m.hasMatch()) {
            if (inParagraph) html += QStringLiteral("</p>\n");
            if (inBullets) html += QStringLiteral("</ul>\n");
            if (!inNumbers) html += QStringLiteral("<ol>\n");
            html +=
                QStringLiteral("<li>") + inlineHTML(line.mid(m.capturedLength())) + QStringLiteral("</li>\n");
            inNumbers = true;
            inParagraph = inBullets = false;
            continue;
        }
        if (line.startsWith(QStringLiteral("> "))) {
            closeBlocks();
            html += QStringLiteral(
                        "<table class=\"quote\" width=\"100%\" cellspacing=\"0\" cellpadding=\"10\"><tr>"
                        "<td class=\"bar\" width=\"4\"></td><td>") +
                    inlineHTML(line.mid(2)) + QStringLiteral("</td></tr></table>\n");
            continue;
        }
        if (inBullets) html += QStringLiteral("</ul>\n");
        if (inNumbers) html += QStringLiteral("</ol>\n");
        html += inParagraph ? QStringLiteral(" ") : QStringLiteral("<p>");
        html += inlineHTML(line);
        inParagraph = true;
        inBullets = inNumbers = false;
    }
    closeBlocks();
    if (inCode) html += codeBlock(codeLines);
    return html;
}

} // namespace markdown

QString markdownToHTML(const QString& markdown, bool isDark) {
    struct Colors {
        const char *page, *text, *heading, *rule, *link, *codeBg, *inlineCode, *blockCode, *quoteBg,
            *quoteBar;
    };
    static constexpr Colors kDark{"#0d0d10", "#dde1e7", "#ffffff", "#2e2e3a", "#7eb8f5",
                                  "#1e1e2e", "#f0c6fc", "#e2e8f0", "#161620", "#3a3a5e"};
    static constexpr Colors kLight{"#ffffff", "#1c1c1e", "#111827", "#e5e7eb", "#2563eb",
                                   "#f3f4f6", "#9333ea", "#374151", "#f9fafb", "#6366f1"};
    const Colors& c = isDark ? kDark : kLight;
    const QString style =
        QStringLiteral(
            "body{background:%1;color:%2;font-family:sans-serif;font-size:15px;margin:24px 32px}\n"
            "h1,h2,h3,h4{color:%3;font-weight:600;margin-top:20px;margin-bottom:8px}\n"
            "h1{font-size:30px} h2{font-size:22px} h3{font-size:18px} h4{font-size:15px}\n"
            "a{color:%5;text-decoration:none}\n"
            "code{background:%6;color:%7;font-family:monospace;font-size:13px}\n"
            "table.pre{background:%6;margin-top:12px;margin-bottom:12px}\n"
            "pre{margin:0}\n"
            "pre code{background:%6;color:%8;font-size:13px}\n"
            "table.quote{background:%9;margin-bottom:12px}\n"
            "td.bar{background:%10}\n"
            "ul,ol{margin-top:6px;margin-bottom:6px}li{margin-top:3px;margin-bottom:3px}\n"
            "hr{color:%4;background:%4;height:1px;border:none;margin-top:24px;margin-bottom:24px}\n"
            "strong{font-weight:600}em{font-style:italic}del{text-decoration:line-through}\n"
            "p{margin-top:6px;margin-bottom:10px}\n")
            .arg(QLatin1String(c.page), QLatin1String(c.text), QLatin1String(c.heading),
                 QLatin1String(c.rule), QLatin1String(c.link), QLatin1String(c.codeBg),
                 QLatin1String(c.inlineCode), QLatin1String(c.blockCode), QLatin1String(c.quoteBg))
            .arg(QLatin1String(c.quoteBar));
    return QStringLiteral("<!DOCTYPE html><html><head>\n<meta charset=\"utf-8\">\n<style>\n") + style +
           QStringLiteral("</style></head><body>") + markdown::body(markdown) +
           QStringLiteral("</body></html>");
}
