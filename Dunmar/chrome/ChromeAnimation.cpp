#include "chrome/ChromeAnimation.h"

#include <QGraphicsOpacityEffect>
#include <QPropertyAnimation>
#include <QWidget>

namespace chrome {
namespace {

QEasingCurve bezier(qreal x1, qreal y1, qreal x2, qreal y2) {
    QEasingCurve curve(QEasingCurve::BezierSpline);
    curve.addCubicBezierSegment(QPointF(x1, y1), QPointF(x2, y2), QPointF(1.0, 1.0));
    return curve;
}

constexpr const char* kFadeName = "chromeFade";

} // namespace

QEasingCurve springCurve() {
    return bezier(0.34, 1.56, 0.64, 1.0);
}
QEasingCurve easeOutCurve() {
    return bezier(0.0, 0.0, 0.58, 1.0);
}
QEasingCurve easeInCurve() {
    return bezier(0.42, 0.0, 1.0, 1.0);
}
QEasingCurve easeInOutCurve() {
    return bezier(0.42, 0.0, 0.58, 1.0);
}
QEasingCurve linearCurve() {
    return QEasingCurve(QEasingCurve::Linear);
}

Tween::Tween(QWidget* owner, const QVariant& initial)
    : QObject(owner), owner_(owner), animation_(new QVariantAnimation(this)), current_(initial),
      target_(initial) {
    connect(animation_, &QVariantAnimation::valueChanged, this, [this](const QVariant& v) {
        // The animation reports its start value when it starts; anything else is a real step.
        current_ = v;
        if (owner_) owner_->update();
        if (onStep) onStep();
    });
    connect(animation_, &QVariantAnimation::finished, this, [this] {
        current_ = target_;
        if (owner_) owner_->update();
        if (onStep) onStep();
    });
}

void Tween::animateTo(const QVariant& target, int durationMs, const QEasingCurve& curve) {
    animation_->stop();
    target_ = target;
    if (durationMs <= 0 || current_ == target) {
        set(target);
        return;
    }
    animation_->setStartValue(current_);
    animation_->setEndValue(target);
    animation_->setDuration(durationMs);
    animation_->setEasingCurve(curve);
    animation_->start();
}

void Tween::set(const QVariant& value) {
    animation_->stop();
    target_ = value;
    current_ = value;
    if (owner_) owner_->update();
    if (onStep) onStep();
}

void setWidgetAlpha(QWidget* widget, qreal alpha) {
    if (!widget) return;
    auto* effect = qobject_cast<QGraphicsOpacityEffect*>(widget->graphicsEffect());
    if (alpha >= 1.0) {
        // Full opacity draws straight, without the effect's offscreen pass.
        if (effect) widget->setGraphicsEffect(nullptr);
        return;
    }
    if (!effect) {
        effect = new QGraphicsOpacityEffect(widget);
        widget->setGraphicsEffect(effect);
    }
    effect->setOpacity(alpha);
}

qreal widgetAlpha(const QWidget* widget) {
    if (!widget) return 1.0;
    auto* effect = qobject_cast<QGraphicsOpacityEffect*>(widget->graphicsEffect());
    return effect ? effect->opacity() : 1.0;
}

void fadeWidget(QWidget* widget, qreal to, int durationMs, const QEasingCurve& curve,
                std::function<void()> done) {
    if (!widget) return;
    if (auto* running = widget->findChild<QVariantAnimation*>(kFadeName, Qt::FindDirectChildrenOnly)) {
        running->stop();
        delete running;
    }
    const qreal from = widgetAlpha(widget);
    if (durationMs <= 0) {
        setWidgetAlpha(widget, to);
        if (done) done();
        return;
    }
    auto* fade = new QVariantAnimation(widget);
    fade->setObjectName(kFadeName);
    fade->setStartValue(from);
    fade->setEndValue(to);
    fade->setDuration(durationMs);
    fade->setEasingCurve(curve);
    QPointer<QWidget> guard(widget);
    QObject::connect(fade, &QVariantAnimation::valueChanged, widget,
                     [guard](const QVariant& v) { setWidgetAlpha(guard, v.toReal()); });
    QObject::connect(fade, &QVariantAnimation::finished, widget, [guard, fade, to, done] {
        setWidgetAlpha(guard, to);
        fade->deleteLater();
        if (done) done();
    });
    fade->start();
}

} // namespace chrome
