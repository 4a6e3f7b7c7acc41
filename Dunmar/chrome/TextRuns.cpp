#include "chrome/TextRuns.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QTextBoundaryFinder>
#include <algorithm>

namespace chrome {
namespace {

struct LineMetrics {
    qreal ascent = 0;
    qreal descent = 0;
};

LineMetrics lineMetrics(const TextRuns& runs) {
    LineMetrics m;
    for (const TextRun& run : runs) {
        QFontMetricsF fm(run.font);
        m.ascent = std::max(m.ascent, fm.ascent());
        m.descent = std::max(m.descent, fm.descent());
    }
    return m;
}

} // namespace

QSizeF runsSize(const TextRuns& runs) {
    qreal width = 0;
    for (const TextRun& run : runs) width += QFontMetricsF(run.font).horizontalAdvance(run.text);
    const LineMetrics m = lineMetrics(runs);
    return QSizeF(width, m.ascent + m.descent);
}

void drawRunsAt(QPainter& painter, const TextRuns& runs, qreal left, const QRectF& rect) {
    const LineMetrics m = lineMetrics(runs);
    // The line box is centred; the baseline sits at its ascent.
    const qreal baseline = rect.center().y() - (m.ascent + m.descent) / 2 + m.ascent;
    qreal x = left;
    for (const TextRun& run : runs) {
        painter.setFont(run.font);
        painter.setPen(run.color);
        painter.drawText(QPointF(x, baseline - run.baselineShift), run.text);
        x += QFontMetricsF(run.font).horizontalAdvance(run.text);
    }
}

void drawRunsCentred(QPainter& painter, const TextRuns& runs, const QRectF& rect) {
    const QSizeF size = runsSize(runs);
    drawRunsAt(painter, runs, rect.center().x() - size.width() / 2, rect);
}

QStringList graphemes(const QString& text) {
    QStringList out;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    qsizetype start = 0;
    while (finder.toNextBoundary() != -1) {
        const qsizetype end = finder.position();
        if (end > start) out << text.mid(start, end - start);
        start = end;
    }
    return out;
}

} // namespace chrome
