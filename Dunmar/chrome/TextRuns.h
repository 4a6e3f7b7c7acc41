#pragma once

#include <QColor>
#include <QFont>
#include <QList>
#include <QSizeF>
#include <QString>

class QPainter;
class QRectF;

// A label set in more than one face, such as "⌘ 1 zsh" with a larger Command glyph: one run per
// stretch of text with its own font and baseline shift.
struct TextRun {
    QString text;
    QFont font;
    QColor color;
    qreal baselineShift = 0; // positive raises the run
};

using TextRuns = QList<TextRun>;

namespace chrome {

// Width of the runs side by side, and the line height of the largest face.
QSizeF runsSize(const TextRuns& runs);
// Draws the runs on one line, centred in `rect` both ways.
void drawRunsCentred(QPainter& painter, const TextRuns& runs, const QRectF& rect);
// Draws the runs on one line starting at `left`, centred vertically in `rect`.
void drawRunsAt(QPainter& painter, const TextRuns& runs, qreal left, const QRectF& rect);

// Splits text into graphemes (user-perceived characters), so that a glyph with a combining
// mark or a surrogate pair stays one piece.
QStringList graphemes(const QString& text);

} // namespace chrome
