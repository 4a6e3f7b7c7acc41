#include "chrome/GearButton.h"

#include <QPainter>
#include <cmath>
#include <numbers>

QPainterPath GearButton::buildGearPath() {
    constexpr qreal kRoot = 6.5;
    constexpr qreal kTip = 8.5;
    constexpr qreal kHalfTooth = 3.0 / 17.0;
    const QPointF centre(12, 12);
    auto at = [&](qreal radius, qreal angle) {
        return centre + QPointF(radius * std::cos(angle), radius * std::sin(angle));
    };
    auto toothAngle = [](int i) { return i * std::numbers::pi / 3 - std::numbers::pi / 2; };
    const QRectF rootBox(centre.x() - kRoot, centre.y() - kRoot, 2 * kRoot, 2 * kRoot);
    auto degrees = [](qreal radians) { return -radians * 180.0 / std::numbers::pi; };

    QPainterPath path;
    path.setFillRule(Qt::OddEvenFill);
    for (int i = 0; i < 6; ++i) {
        const qreal a = toothAngle(i);
        if (i == 0) {
            path.moveTo(at(kRoot, a - kHalfTooth));
        } else {
            const qreal from = toothAngle(i - 1) + kHalfTooth;
            path.arcTo(rootBox, degrees(from), degrees(a - kHalfTooth) - degrees(from));
        }
        path.lineTo(at(kTip, a - kHalfTooth));
        path.lineTo(at(kTip, a + kHalfTooth));
        path.lineTo(at(kRoot, a + kHalfTooth));
    }
    const qreal from = toothAngle(5) + kHalfTooth;
    const qreal to = toothAngle(0) - kHalfTooth + 2 * std::numbers::pi;
    path.arcTo(rootBox, degrees(from), degrees(to) - degrees(from));
    path.closeSubpath();
    path.addEllipse(QRectF(8.5, 8.5, 7, 7));
    return path;
}

GearButton::GearButton(QWidget* parent)
    : BaseHoverButton(parent), path_(buildGearPath()), rotation_(new chrome::Tween(this, 0.0)),
      color_(new chrome::Tween(this, QVariant::fromValue(normalGearColor()))) {
    setBackgroundColors(chrome::clear(), chrome::white(1.0, 0.08), chrome::white(1.0, 0.15));
    setCornerRadius(5);
    setAccessibleName(QStringLiteral("Settings"));
}

void GearButton::applyHoverStyle(bool hovered) {
    if (!hovered) {
        resetGearToNormal();
        return;
    }
    rotation_->animateTo(kHoverTurnDegrees, kTurnMs, chrome::springCurve());
    color_->animateTo(QVariant::fromValue(hoverGearColor()), kColorMs, chrome::easeOutCurve());
}

void GearButton::resetGearToNormal() {
    rotation_->animateTo(0.0, kResetMs, chrome::easeOutCurve());
    color_->animateTo(QVariant::fromValue(normalGearColor()), kColorMs, chrome::easeOutCurve());
}

void GearButton::paintContent(QPainter& painter, const QRectF& rect) {
    painter.translate(rect.center());
    // Counter-clockwise on screen, as the turn is drawn upwards.
    painter.rotate(-rotation_->real());
    painter.translate(-12, -12);
    painter.fillPath(path_, color_->color());
}
