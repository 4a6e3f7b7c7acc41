#include "git/GitPanelDividerView.h"

#include <QMouseEvent>
#include <QPainter>
#include <QVariantAnimation>

GitPanelDividerView::GitPanelDividerView(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_Hover);
    setAttribute(Qt::WA_TranslucentBackground);
    setMouseTracking(true);
}

QRect GitPanelDividerView::stripRect() const {
    if (isVertical) return {kGrab, 0, kStripThick, height()};
    // 5 px up from the bottom edge.
    return {0, height() - kGrab - kStripThick, width(), kStripThick};
}

void GitPanelDividerView::paintEvent(QPaintEvent*) {
    QPainter(this).fillRect(stripRect(), shownColor_);
}

double GitPanelDividerView::axisPosition(const QPointF& global) const {
    // Upwards is positive for a horizontal divider, as the panel ratios count it.
    return isVertical ? global.x() : -global.y();
}

void GitPanelDividerView::setStripColor(const QColor& color, bool animated) {
    if (colorAnimation_) colorAnimation_->stop();
    targetColor_ = color;
    if (!animated) {
        shownColor_ = color;
        update();
        return;
    }
    auto* animation = new QVariantAnimation(this);
    animation->setDuration(kColorMs);
    animation->setStartValue(shownColor_);
    animation->setEndValue(color);
    connect(animation, &QVariantAnimation::valueChanged, this, [this](const QVariant& v) {
        shownColor_ = v.value<QColor>();
        update();
    });
    colorAnimation_ = animation;
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}

void GitPanelDividerView::enterEvent(QEnterEvent*) {
    isHovered_ = true;
    setCursor(isVertical ? Qt::SizeHorCursor : Qt::SizeVerCursor);
    if (!isDragging_) setStripColor(hoverColor, true);
}

void GitPanelDividerView::leaveEvent(QEvent*) {
    isHovered_ = false;
    if (!isDragging_) setStripColor(normalColor, true);
}

void GitPanelDividerView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    setCursor(isVertical ? Qt::SizeHorCursor : Qt::SizeVerCursor);
    dragStart_ = axisPosition(event->globalPosition());
    isDragging_ = true;
    setStripColor(dragColor, false);
}

void GitPanelDividerView::mouseMoveEvent(QMouseEvent* event) {
    if (!isDragging_) return;
    const double position = axisPosition(event->globalPosition());
    const double step = position - dragStart_;
    dragStart_ = position;
    if (onDrag) onDrag(step);
}

void GitPanelDividerView::mouseReleaseEvent(QMouseEvent* event) {
    if (!isDragging_) return;
    isDragging_ = false;
    // The pointer may have left during the drag: the colour settles on where it is now.
    isHovered_ = rect().contains(event->position().toPoint());
    setStripColor(isHovered_ ? hoverColor : normalColor, true);
}
