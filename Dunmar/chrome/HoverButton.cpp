#include "chrome/HoverButton.h"

#include <QFontMetricsF>
#include <QPainter>
#include <cmath>

HoverButton::HoverButton(const QString& title, qreal fontSize, QFont::Weight weight,
                         const QColor& normalColor, const QColor& hoverColor, const QColor& normalBg,
                         const QColor& hoverBg, const QColor& pressBg, qreal cornerRadius, QWidget* parent)
    : BaseHoverButton(parent), title_(title), font_(chrome::monoFont(fontSize, weight)),
      normalColor_(normalColor), hoverColor_(hoverColor),
      textColor_(new chrome::Tween(this, QVariant::fromValue(normalColor))) {
    setBackgroundColors(normalBg, hoverBg, pressBg);
    setCornerRadius(cornerRadius);
    setAccessibleName(title);
}

QSize HoverButton::sizeHint() const {
    const QFontMetricsF fm(font_);
    return QSize(static_cast<int>(std::ceil(fm.horizontalAdvance(title_))) + 12,
                 static_cast<int>(std::ceil(fm.height())) + 6);
}

void HoverButton::applyHoverStyle(bool hovered) {
    const QColor target = (hovered || isActive()) ? hoverColor_ : normalColor_;
    textColor_->animateTo(QVariant::fromValue(target), kTitleColorMs, chrome::easeOutCurve());
}

void HoverButton::paintContent(QPainter& painter, const QRectF& rect) {
    painter.setFont(font_);
    painter.setPen(textColor_->color());
    painter.drawText(rect, Qt::AlignCenter, title_);
}
