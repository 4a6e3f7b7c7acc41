#include "terminalview/PassthroughBlurView.h"

#include <QPainter>
#include <QVariantAnimation>

PassthroughBlurView::PassthroughBlurView(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
    fade_ = new QVariantAnimation(this);
    fade_->setEasingCurve(QEasingCurve::InOutQuad);
    connect(fade_, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        level_ = value.toReal();
        setVisible(level_ > 0);
        update();
    });
    hide();
}

void PassthroughBlurView::setShown(bool shown, int durationMs) {
    shown_ = shown;
    fade_->stop();
    const qreal target = shown ? 1.0 : 0.0;
    if (durationMs <= 0 || level_ == target) {
        level_ = target;
        setVisible(shown);
        update();
        return;
    }
    fade_->setStartValue(level_);
    fade_->setEndValue(target);
    fade_->setDuration(durationMs);
    setVisible(true);
    fade_->start();
}

void PassthroughBlurView::paintEvent(QPaintEvent*) {
    if (level_ <= 0) return;
    QPainter painter(this);
    // A dark heads-up tint; the pane's text stays readable beneath it.
    painter.fillRect(rect(), QColor::fromRgbF(0.06f, 0.06f, 0.08f, float(kAlpha * 0.85 * level_)));
}
