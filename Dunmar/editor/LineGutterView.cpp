#include "editor/LineGutterView.h"

#include "chrome/ChromeStyle.h"
#include "editor/EditorTextView.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextLayout>

LineGutterView::LineGutterView(QWidget* parent) : QWidget(parent), font_(chrome::monoFont(10)) {}

void LineGutterView::setTextView(EditorTextView* textView) {
    textView_ = textView;
    if (!textView) return;
    connect(textView, &QPlainTextEdit::updateRequest, this, [this] { update(); });
    connect(textView->document(), &QTextDocument::contentsChanged, this, [this] { update(); });
}

void LineGutterView::applyColors(bool isDark) {
    bgColor_ = QColor::fromRgbF(isDark ? 0.06f : 0.88f, isDark ? 0.06f : 0.88f, isDark ? 0.06f : 0.88f);
    numColor_ = QColor::fromRgbF(isDark ? 0.35f : 0.45f, isDark ? 0.35f : 0.45f, isDark ? 0.35f : 0.45f);
    update();
}

QList<LineGutterView::Label> LineGutterView::visibleLabels() const {
    QList<Label> labels;
    if (!textView_) return labels;
    const EditorTextView* view = textView_.data();
    const int offset = view->viewport()->mapTo(parentWidget(), QPoint(0, 0)).y() - y();
    const int bottom = height();
    QTextBlock block = view->firstBlockOnScreen();
    bool first = true;
    while (block.isValid()) {
        const QRectF box = view->blockRectOnScreen(block);
        const int top = static_cast<int>(box.top()) + offset;
        if (top > bottom) break;
        if (block.isVisible()) {
            int lineTop = top;
            // A long line scrolled so that only its continuation shows carries its number there.
            if (first && top < offset && block.layout()) {
                const QTextLayout* layout = block.layout();
                for (int i = 0; i < layout->lineCount(); ++i) {
                    const int y = top + static_cast<int>(layout->lineAt(i).y());
                    if (y >= offset - 1) {
                        lineTop = y;
                        break;
                    }
                }
            }
            labels.append({block.blockNumber() + 1, lineTop});
        }
        first = false;
        block = block.next();
    }
    return labels;
}

void LineGutterView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), bgColor_);
    if (!textView_) return;
    painter.setFont(font_);
    painter.setPen(numColor_);
    const QFontMetrics metrics(font_);
    const QTextBlock firstBlock = textView_->document()->firstBlock();
    const qreal lineHeight = firstBlock.layout() && firstBlock.layout()->lineCount() > 0
                                 ? firstBlock.layout()->lineAt(0).height()
                                 : QFontMetricsF(textView_->font()).height();
    for (const Label& label : visibleLabels()) {
        const QString text = QString::number(label.number);
        const int x = width() - metrics.horizontalAdvance(text) - 8;
        const qreal y = label.y + (lineHeight - metrics.height()) * 0.5 + metrics.ascent();
        painter.drawText(QPointF(x, y), text);
    }
}
