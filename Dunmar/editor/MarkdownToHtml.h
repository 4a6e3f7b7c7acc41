#pragma once

#include <QString>

// A whole HTML page for a Markdown text, in a dark or a light style: headings of levels 1 to 4,
// fenced code blocks, horizontal rules, bulleted and numbered items, one-line quotes, paragraphs,
// and inline code, strike-through, bold, italic and links. The page keeps to what Qt's rich-text
// engine draws: one style sheet, pixel sizes, and tables where a box needs padding and a bar.
// Every character of the source shows as text; link targets other than http, https, mailto and
// relative ones are dropped, leaving the link's text.
QString markdownToHTML(const QString& markdown, bool isDark);

namespace markdown {
// The block structure alone, what goes between <body> and </body>.
QString body(const QString& markdown);
// The inline rules applied to one piece of text.
QString inlineHTML(const QString& text);
} // namespace markdown
