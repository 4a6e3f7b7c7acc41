#include "settings/SettingsToggle.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

namespace {
QColor mix(const QColor& a, const QColor& b, qreal t) {
    auto lerp = [t](qreal x, qreal y) { return x + (y - x) * t; };
    return QColor::fromRgbF(lerp(a.redF(), b.redF()), lerp(a.greenF(), b.greenF()),
                            lerp(a.blueF(), b.blueF()), lerp(a.alphaF(), b.alphaF()));
}
} // namespace

SettingsToggle::SettingsToggle(bool isOn, QWidget* parent)
    : QWidget(parent), on_(isOn), position_(new chrome::Tween(this, isOn ? 1.0 : 0.0)),
      scale_(new chrome::Tween(this, 1.0)) {
    setFixedSize(sizeHint());
    setCursor(Qt::ArrowCursor);
    setFocusPolicy(Qt::NoFocus);
    setAccessibleName(QStringLiteral("switch"));
    setIsOn(isOn);
}

QRectF SettingsToggle::switchRect() const {
    return QRectF(kMargin, kMargin, kWidth, kHeight);
}

void SettingsToggle::setIsOn(bool on) {
    on_ = on;
    position_->animateTo(on ? 1.0 : 0.0, kSlideMs, chrome::easeInOutCurve());
}

void SettingsToggle::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF track = switchRect();
    const qreal s = scale_->real();
    painter.translate(track.center());
    painter.scale(s, s);
    painter.translate(-track.center());

    const qreal t = position_->real();
    QPainterPath trackPath;
    trackPath.addRoundedRect(track, kHeight / 2.0, kHeight / 2.0);
    painter.fillPath(trackPath, mix(offTrackColor(), onTrackColor(), t));

    // The thumb rests 2 in from either end; its shadow falls one unit below it.
    const qreal thumbX = track.left() + 2 + t * 16;
    const QRectF thumb(thumbX, track.top() + 2, 14, 14);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 0, 40));
    painter.drawEllipse(thumb.translated(0, 1).adjusted(-0.5, -0.5, 0.5, 0.5));
    painter.setBrush(Qt::white);
    painter.drawEllipse(thumb);
}

void SettingsToggle::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    event->accept();
    setIsOn(!on_);
    if (onChange) onChange(on_);
}

void SettingsToggle::enterEvent(QEnterEvent* event) {
    QWidget::enterEvent(event);
    hovered_ = true;
    scale_->animateTo(kHoverScale, kHoverMs, chrome::easeInOutCurve());
}

void SettingsToggle::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    hovered_ = false;
    scale_->animateTo(1.0, kHoverMs, chrome::easeInOutCurve());
}
