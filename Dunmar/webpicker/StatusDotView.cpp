#include "webpicker/StatusDotView.h"

#include <QPainter>

StatusDotView::StatusDotView(QWidget* parent) : QWidget(parent) {
    fade_.setParent(this);
    fade_.setDuration(200);
    connect(&fade_, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        shown_ = value.value<QColor>();
        update();
    });
}

void StatusDotView::setColor(const QColor& color) {
    target_ = color;
    fade_.stop();
    if (!shown_.isValid()) {
        shown_ = color;
        update();
        return;
    }
    fade_.setStartValue(shown_);
    fade_.setEndValue(color);
    fade_.start();
}

void StatusDotView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(shown_);
    p.drawEllipse(QRectF(rect()));
}
