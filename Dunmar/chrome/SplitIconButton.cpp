#include "chrome/SplitIconButton.h"

#include <QPainter>
#include <span>

namespace {

struct Shape {
    qreal x, y, w, h, radius;
};

// Each pane is an outer rounded rect less its inner one: a 1-pixel frame under the even-odd rule.
// Measured upwards from the bottom of the icon's square.
constexpr Shape kVertical[] = {
    {9.1667, 3.3333, 1.25, 13.3333, 0},     {2.5, 4.1667, 5.8333, 11.6667, 1.2},
    {3.5, 5.1667, 3.8333, 9.6667, 0.6},     {11.6667, 4.1667, 5.8333, 11.6667, 1.2},
    {12.6667, 5.1667, 3.8333, 9.6667, 0.6},
};
constexpr Shape kHorizontal[] = {
    {3, 8.25, 12, 1.125, 0},       {3.75, 2.25, 10.5, 5.25, 1.2}, {4.65, 3.15, 8.7, 3.45, 0.6},
    {3.75, 10.5, 10.5, 5.25, 1.2}, {4.65, 11.4, 8.7, 3.45, 0.6},
};

qreal iconSide(bool vertical) {
    return vertical ? 20 : 18;
}

} // namespace

QPainterPath SplitIconButton::buildIconPath(bool vertical) {
    QPainterPath path;
    path.setFillRule(Qt::OddEvenFill);
    const qreal side = iconSide(vertical);
    for (const Shape& s :
         vertical ? std::span<const Shape>(kVertical) : std::span<const Shape>(kHorizontal)) {
        const QRectF r(s.x, side - s.y - s.h, s.w, s.h);
        if (s.radius > 0)
            path.addRoundedRect(r, s.radius, s.radius);
        else
            path.addRect(r);
    }
    return path;
}

SplitIconButton::SplitIconButton(bool vertical, QWidget* parent)
    : BaseHoverButton(parent), vertical_(vertical), path_(buildIconPath(vertical)),
      iconColor_(new chrome::Tween(this, QVariant::fromValue(normalIconColor()))),
      iconScale_(new chrome::Tween(this, 1.0)) {
    setBackgroundColors(chrome::clear(), chrome::white(1.0, 0.08), chrome::white(1.0, 0.15));
    setCornerRadius(5);
    setAccessibleName(vertical ? QStringLiteral("Split Vertically") : QStringLiteral("Split Horizontally"));
}

void SplitIconButton::setActive(bool active) {
    if (active == isActive()) return;
    setActiveFlag(active);
    if (isHovered()) return;
    const QColor target = active ? activeIconColor() : normalIconColor();
    iconColor_->animateTo(QVariant::fromValue(target), kIconColorMs, chrome::easeOutCurve());
    animateBg(active ? hoverBgColor() : normalBgColor(), 0);
}

void SplitIconButton::applyHoverStyle(bool hovered) {
    const QColor target = hovered ? hoveredIconColor() : (isActive() ? activeIconColor() : normalIconColor());
    iconColor_->animateTo(QVariant::fromValue(target), kIconColorMs, chrome::easeOutCurve());
    iconScale_->animateTo(hovered ? kHoverIconScale : 1.0, kIconScaleMs,
                          hovered ? chrome::springCurve() : chrome::linearCurve());
}

void SplitIconButton::paintContent(QPainter& painter, const QRectF& rect) {
    const qreal side = iconSide(vertical_);
    const qreal s = iconScale_->real();
    painter.translate(rect.center());
    painter.scale(s, s);
    painter.translate(-side / 2, -side / 2);
    painter.fillPath(path_, iconColor_->color());
}
