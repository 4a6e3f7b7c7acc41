#include "app/window/WindowAnimator.h"

#include <QPropertyAnimation>
#include <QWidget>

WindowAnimator::WindowAnimator(QObject* parent) : QObject(parent) {}

WindowAnimator::~WindowAnimator() {
    stopAll();
}

QPropertyAnimation* WindowAnimator::start(const char* property, const QVariant& to, int durationMs,
                                          const QEasingCurve& curve, std::function<void()> done) {
    auto* animation = new QPropertyAnimation(window_.data(), property, this);
    animation->setDuration(durationMs);
    animation->setEasingCurve(curve);
    animation->setEndValue(to);
    if (done) connect(animation, &QPropertyAnimation::finished, this, [done = std::move(done)] { done(); });
    animation->start(QAbstractAnimation::DeleteWhenStopped);
    return animation;
}

void WindowAnimator::fade(double to, int durationMs, const QEasingCurve& curve, std::function<void()> done) {
    if (fade_) {
        fade_->disconnect(this);
        fade_->stop();
    }
    if (!window_) return;
    if (durationMs <= 0) {
        window_->setWindowOpacity(to);
        if (done) done();
        return;
    }
    fade_ = start("windowOpacity", to, durationMs, curve, std::move(done));
}

void WindowAnimator::dim(double to, int durationMs, const QEasingCurve& curve, std::function<void()> done) {
    stopDim();
    if (!window_) return;
    dim_ = start("windowOpacity", to, durationMs, curve, std::move(done));
}

void WindowAnimator::stopDim() {
    if (dim_) dim_->stop();
}

QPropertyAnimation* WindowAnimator::slideFrame(const QRect& target, int durationMs, const QEasingCurve& curve,
                                               std::function<void()> done) {
    if (frame_) frame_->stop();
    if (!window_) return nullptr;
    frame_ = start("geometry", target, durationMs, curve, std::move(done));
    return frame_;
}

void WindowAnimator::stopAll() {
    for (const QPointer<QPropertyAnimation>& animation : {fade_, dim_, frame_}) {
        if (!animation) continue;
        animation->disconnect(this);
        animation->stop();
    }
}
