#include "app/window/BellPreviewInset.h"

#include <QVariantAnimation>

void BellPreviewInset::slideTo(int height, int durationMs, const QEasingCurve& curve) {
    if (animation_) {
        animation_->stop();
        animation_->deleteLater();
    }
    if (durationMs <= 0) {
        set(height);
        return;
    }
    auto* animation = new QVariantAnimation(this);
    animation->setStartValue(height_);
    animation->setEndValue(height);
    animation->setDuration(durationMs);
    animation->setEasingCurve(curve);
    connect(animation, &QVariantAnimation::valueChanged, this,
            [this](const QVariant& value) { set(value.toInt()); });
    connect(animation, &QVariantAnimation::finished, this, [this, animation, height] {
        set(height);
        animation->deleteLater();
    });
    animation_ = animation;
    animation->start();
}

void BellPreviewInset::set(int height) {
    height_ = height;
    if (onChanged) onChanged();
}
