#include "settings/ResetRowView.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

ResetRowView::ResetRowView(QWidget* parent)
    : QWidget(parent), bg_(new chrome::Tween(this, QVariant::fromValue(normalBg()))) {
    setCursor(Qt::ArrowCursor);
}

void ResetRowView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath path;
    path.addRoundedRect(QRectF(rect()), kCornerRadius, kCornerRadius);
    painter.fillPath(path, bg_->color());
}

void ResetRowView::enterEvent(QEnterEvent* event) {
    QWidget::enterEvent(event);
    if (disabled_) return;
    hovered_ = true;
    bg_->animateTo(QVariant::fromValue(hoverBg()), kHoverMs, chrome::easeInOutCurve());
}

void ResetRowView::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    hovered_ = false;
    bg_->animateTo(QVariant::fromValue(disabled_ ? disabledBg() : normalBg()), kHoverMs,
                   chrome::easeInOutCurve());
}

void ResetRowView::mousePressEvent(QMouseEvent* event) {
    event->accept();
    if (disabled_ || event->button() != Qt::LeftButton) return;
    bg_->set(QVariant::fromValue(pressBg()));
}

void ResetRowView::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    if (disabled_ || event->button() != Qt::LeftButton) return;
    const bool inside = rect().contains(event->position().toPoint());
    // The click may rebuild the row's contents, so the resting look is set first.
    bg_->set(QVariant::fromValue(hovered_ ? hoverBg() : normalBg()));
    if (inside && onClick) onClick();
}
