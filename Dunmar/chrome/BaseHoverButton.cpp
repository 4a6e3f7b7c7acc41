#include "chrome/BaseHoverButton.h"

#include "chrome/ChromeAccessibility.h"

#include <QEnterEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <cmath>

BaseHoverButton::BaseHoverButton(QWidget* parent)
    : QWidget(parent), bg_(new chrome::Tween(this, QVariant::fromValue(chrome::clear()))),
      scale_(new chrome::Tween(this, 1.0)), alpha_(new chrome::Tween(this, 1.0)) {
    chrome::installButtonAccessibility();
    setCursor(Qt::ArrowCursor);
    setAttribute(Qt::WA_Hover, false);
    setFocusPolicy(Qt::NoFocus);
}

void BaseHoverButton::setHoverScale(qreal scale) {
    const QRect asked = frame();
    hoverScale_ = scale;
    if (!asked.isEmpty()) setFrame(asked);
}

void BaseHoverButton::setBackgroundColors(const QColor& normal, const QColor& hover, const QColor& press) {
    normalBg_ = normal;
    hoverBg_ = hover;
    pressBg_ = press;
    bg_->set(QVariant::fromValue(restBackground()));
}

void BaseHoverButton::setCornerRadius(qreal radius) {
    radius_ = radius;
    update();
}

void BaseHoverButton::setActive(bool active) {
    active_ = active;
    // Under the pointer the hover look already shows; it settles on leaving.
    if (hovered_) return;
    animateBg(active ? hoverBg_ : normalBg_, kActiveBgMs);
    applyHoverStyle(active);
}

void BaseHoverButton::animateBg(const QColor& to, int durationMs) {
    bg_->animateTo(QVariant::fromValue(to), durationMs, chrome::easeOutCurve());
}

int BaseHoverButton::growthMargin() const {
    if (scalableLayer() != ScaleTarget::whole || hoverScale_ <= 1.0) return 0;
    return 2;
}

void BaseHoverButton::setFrame(const QRect& frame) {
    const int m = growthMargin();
    setGeometry(frame.adjusted(-m, -m, m, m));
}

QRect BaseHoverButton::frame() const {
    const int m = growthMargin();
    return geometry().adjusted(m, m, -m, -m);
}

QRectF BaseHoverButton::contentRect() const {
    const int m = growthMargin();
    return QRectF(rect()).adjusted(m, m, -m, -m);
}

void BaseHoverButton::animateScale(qreal to, bool spring) {
    scale_->animateTo(to, spring ? kGrowMs : kShrinkMs,
                      spring ? chrome::springCurve() : chrome::easeOutCurve());
}

void BaseHoverButton::paintBackground(QPainter& painter, const QRectF& rect) {
    const QColor color = bg_->color();
    if (color.alpha() == 0) return;
    QPainterPath path;
    path.addRoundedRect(rect, radius_, radius_);
    painter.fillPath(path, color);
}

void BaseHoverButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setOpacity(alpha_->real());
    const QRectF r = contentRect();
    const qreal s = scale_->real();
    const ScaleTarget target = scalableLayer();
    auto scaleAboutCentre = [&] {
        if (std::abs(s - 1.0) < 1e-6) return;
        painter.translate(r.center());
        painter.scale(s, s);
        painter.translate(-r.center());
    };
    if (target == ScaleTarget::whole) scaleAboutCentre();
    paintBackground(painter, r);
    if (target == ScaleTarget::content) scaleAboutCentre();
    paintContent(painter, r);
}

void BaseHoverButton::enterEvent(QEnterEvent* event) {
    QWidget::enterEvent(event);
    hovered_ = true;
    animateBg(hoverBg_, kHoverBgMs);
    applyHoverStyle(true);
    if (hoverScale_ != 1.0 && scalableLayer() != ScaleTarget::none) animateScale(hoverScale_, true);
}

void BaseHoverButton::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    hovered_ = false;
    pressed_ = false;
    animateBg(restBackground(), kLeaveBgMs);
    applyHoverStyle(false);
    if (hoverScale_ != 1.0 && scalableLayer() != ScaleTarget::none) animateScale(1.0, false);
}

void BaseHoverButton::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    pressed_ = true;
    animateBg(pressBg_, kPressBgMs);
    event->accept();
}

void BaseHoverButton::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    pressed_ = false;
    event->accept();
    // Only where the button comes up decides: leaving and coming back in between still clicks.
    if (!contentRect().contains(event->position())) {
        animateBg(restBackground(), kLeaveBgMs);
        applyHoverStyle(false);
        return;
    }
    animateBg(hoverBg_, kReleaseBgMs);
    if (onClick) onClick();
}
