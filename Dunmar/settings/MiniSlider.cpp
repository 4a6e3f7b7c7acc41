#include "settings/MiniSlider.h"

#include "chrome/ChromeStyle.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QWheelEvent>
#include <algorithm>

MiniSlider::MiniSlider(double minimum, double maximum, double value, QWidget* parent)
    : QWidget(parent), min_(minimum), max_(std::max(minimum, maximum)), value_(minimum) {
    setValue(value);
    setFixedHeight(kHeight);
    setCursor(Qt::ArrowCursor);
    setFocusPolicy(Qt::NoFocus);
}

void MiniSlider::setValue(double value) {
    value_ = std::clamp(value, min_, max_);
    update();
}

double MiniSlider::valueAt(qreal x) const {
    const qreal r = kKnobDiameter / 2;
    const qreal travel = width() - 2 * r;
    if (travel <= 0 || max_ <= min_) return min_;
    const qreal t = std::clamp((x - r) / travel, 0.0, 1.0);
    return min_ + t * (max_ - min_);
}

qreal MiniSlider::positionOf(double value) const {
    const qreal r = kKnobDiameter / 2;
    const qreal travel = std::max<qreal>(0, width() - 2 * r);
    const qreal t = max_ > min_ ? (std::clamp(value, min_, max_) - min_) / (max_ - min_) : 0;
    return r + t * travel;
}

void MiniSlider::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal cy = height() / 2.0;
    const qreal r = kKnobDiameter / 2;
    const qreal knobX = positionOf(value_);

    const QRectF track(r, cy - 1.5, std::max<qreal>(0, width() - 2 * r), 3);
    QPainterPath trackPath;
    trackPath.addRoundedRect(track, 1.5, 1.5);
    painter.fillPath(trackPath, chrome::white(1.0, 0.16));
    QPainterPath filled;
    filled.addRoundedRect(QRectF(track.left(), track.top(), knobX - track.left(), track.height()), 1.5, 1.5);
    painter.fillPath(filled, chrome::rgb(0.3, 0.55, 1.0));

    const QRectF knob(knobX - r, cy - r, kKnobDiameter, kKnobDiameter);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 0, 60));
    painter.drawEllipse(knob.translated(0, 0.8));
    painter.setBrush(chrome::white(dragging_ ? 0.88 : 0.97));
    painter.drawEllipse(knob);
}

void MiniSlider::dragTo(qreal x) {
    const double next = valueAt(x);
    if (next == value_) return;
    value_ = next;
    update();
    emit valueChanged(value_);
}

void MiniSlider::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    event->accept();
    dragging_ = true;
    dragTo(event->position().x());
    update();
}

void MiniSlider::mouseMoveEvent(QMouseEvent* event) {
    if (!dragging_) {
        event->ignore();
        return;
    }
    event->accept();
    dragTo(event->position().x());
}

void MiniSlider::mouseReleaseEvent(QMouseEvent* event) {
    if (!dragging_ || event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    event->accept();
    dragTo(event->position().x());
    dragging_ = false;
    update();
    emit released();
}

void MiniSlider::wheelEvent(QWheelEvent* event) {
    // The wheel scrolls the panel, not the value.
    event->ignore();
}
