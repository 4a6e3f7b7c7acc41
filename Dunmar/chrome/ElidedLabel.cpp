#include "chrome/ElidedLabel.h"

#include "platform/PlainText.h"

#include <QPainter>
#include <QStyleOption>

namespace chrome {

ElidedLabel::ElidedLabel(const QString& text, const QFont& font, const QColor& color, QWidget* parent)
    : QLabel(parent) {
    setTextFormat(Qt::PlainText);
    setText(text);
    setFont(font);
    QPalette p = palette();
    p.setColor(QPalette::WindowText, color);
    setPalette(p);
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
}

QSize ElidedLabel::sizeHint() const {
    const QMargins margins = contentsMargins();
    return {fontMetrics().horizontalAdvance(plaintext::visibleEscapes(text())) + margins.left() +
                margins.right(),
            fontMetrics().height() + margins.top() + margins.bottom()};
}

QSize ElidedLabel::minimumSizeHint() const {
    return {0, fontMetrics().height()};
}

QString ElidedLabel::shownText() const {
    return fontMetrics().elidedText(plaintext::visibleEscapes(text()), Qt::ElideRight,
                                    contentsRect().width());
}

void ElidedLabel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    QStyleOption option;
    option.initFrom(this);
    style()->drawPrimitive(QStyle::PE_Widget, &option, &p, this);
    p.setPen(palette().color(QPalette::WindowText));
    p.setFont(font());
    p.drawText(contentsRect(), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, shownText());
}

} // namespace chrome
