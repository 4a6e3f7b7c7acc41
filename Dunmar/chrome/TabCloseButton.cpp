#include "chrome/TabCloseButton.h"

#include <QMouseEvent>
#include <QPainter>

TabCloseButton::TabCloseButton(QWidget* parent) : BaseHoverButton(parent) {
    setBackgroundColors(chrome::white(0.12, 0.95), chrome::rgb(0.8, 0.2, 0.2, 0.9),
                        chrome::rgb(0.8, 0.2, 0.2, 0.9));
    setCornerRadius(4);
    setAccessibleName(QStringLiteral("Close Tab"));
}

void TabCloseButton::applyHoverStyle(bool) {
    update();
}

void TabCloseButton::paintContent(QPainter& painter, const QRectF& rect) {
    const QRectF r = rect.adjusted(4, 4, -4, -4);
    QPen pen(isHovered() ? chrome::white(1.0, 0.95) : chrome::white(0.6), 1.5);
    pen.setCapStyle(Qt::RoundCap);
    painter.setPen(pen);
    painter.drawLine(r.topLeft(), r.bottomRight());
    painter.drawLine(r.topRight(), r.bottomLeft());
}

void TabCloseButton::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    setPressedFlag(true);
    animateAlpha(0.5, kPressFadeMs);
    event->accept();
}

void TabCloseButton::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    setPressedFlag(false);
    event->accept();
    const bool inside = contentRect().contains(event->position());
    animateAlpha(1.0, kReleaseFadeMs);
    animateBg(isHovered() ? hoverBgColor() : normalBgColor(), kReleaseBgMs);
    // Last: closing the tab may take this button away.
    if (inside && onClick) onClick();
}
