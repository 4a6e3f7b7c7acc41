#include "git/InlineDiff.h"

#include "git/GitPanelStyle.h"
#include "platform/PlainText.h"

#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QScrollBar>

QColor diffLineColor(const QString& line) {
    // "+++" and "---" name the files; they are grey although they begin like added or removed lines.
    if (line.startsWith(QLatin1String("+++")) || line.startsWith(QLatin1String("---")))
        return gitstyle::white(0.5);
    if (line.startsWith(QLatin1Char('+'))) return gitstyle::rgb(0.4, 0.8, 0.45);
    if (line.startsWith(QLatin1Char('-'))) return gitstyle::rgb(1.0, 0.4, 0.4);
    if (line.startsWith(QLatin1String("@@"))) return gitstyle::rgb(0.5, 0.7, 1.0);
    return gitstyle::white(0.45);
}

std::vector<DiffLine> diffLines(const QString& output) {
    std::vector<DiffLine> lines;
    qsizetype start = 0;
    while (static_cast<int>(lines.size()) < kMaxDiffLines) {
        const qsizetype end = output.indexOf(QLatin1Char('\n'), start);
        const QString line = output.mid(start, end < 0 ? -1 : end - start);
        lines.push_back({line, diffLineColor(line)});
        if (end < 0) break;
        start = end + 1;
    }
    return lines;
}

namespace {

// The file's text as characters: escaped for the markup, and its control characters and direction
// overrides (which could make a changed line read as something else) shown as escapes.
QString diffHtml(const std::vector<DiffLine>& lines) {
    QString html = QStringLiteral("<div style=\"white-space: pre-wrap\">");
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i) html += QStringLiteral("<br>");
        html += QStringLiteral("<span style=\"color: %1\">%2</span>")
                    .arg(lines[i].color.name(),
                         plaintext::visibleEscapes(lines[i].text, plaintext::Lines::kept).toHtmlEscaped());
    }
    return html + QStringLiteral("</div>");
}

} // namespace

InlineDiffView::InlineDiffView(const QString& output, QWidget* parent)
    : CappedScrollArea(kMaxDiffHeight, parent), lines_(diffLines(output)) {
    label_ = new QLabel;
    label_->setAutoFillBackground(false);
    label_->setFont(gitstyle::monoFont(9.5));
    label_->setTextFormat(Qt::RichText);
    label_->setWordWrap(true);
    label_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label_->setContentsMargins(4, 2, 4, 2);
    label_->setText(diffHtml(lines_));
    setWidget(label_);
}

void InlineDiffView::paintEvent(QPaintEvent* event) {
    {
        QPainter p(viewport());
        p.setRenderHint(QPainter::Antialiasing);
        QPainterPath path;
        path.addRoundedRect(QRectF(viewport()->rect()), 4, 4);
        p.fillPath(path, QColor::fromRgbF(0, 0, 0, 0.25));
    }
    CappedScrollArea::paintEvent(event);
}
