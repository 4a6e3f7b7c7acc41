#include "settings/SettingsRowView.h"

#include <QPainter>
#include <QPainterPath>

SettingsRowView::SettingsRowView(QWidget* parent)
    : QWidget(parent), bg_(new chrome::Tween(this, QVariant::fromValue(normalBg()))) {
    setCursor(Qt::ArrowCursor);
}

void SettingsRowView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath path;
    path.addRoundedRect(QRectF(rect()), kCornerRadius, kCornerRadius);
    painter.fillPath(path, bg_->color());
}

void SettingsRowView::enterEvent(QEnterEvent* event) {
    QWidget::enterEvent(event);
    hovered_ = true;
    bg_->animateTo(QVariant::fromValue(hoverBg()), kEnterMs, chrome::easeInOutCurve());
    if (hoverControl_)
        chrome::fadeWidget(hoverControl_, kHoveredControlAlpha, kEnterMs, chrome::easeInOutCurve());
}

void SettingsRowView::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    hovered_ = false;
    bg_->animateTo(QVariant::fromValue(normalBg()), kLeaveMs, chrome::easeInOutCurve());
    if (hoverControl_) chrome::fadeWidget(hoverControl_, 1.0, kLeaveMs, chrome::easeInOutCurve());
}
