#include "chrome/QuitButton.h"

#include <QPainter>
#include <QPainterPath>
#include <QSequentialAnimationGroup>
#include <QVariantAnimation>
#include <cmath>

QuitButton::QuitButton(QWidget* parent)
    : BaseHoverButton(parent), color_(new chrome::Tween(this, QVariant::fromValue(normalStrokeColor()))) {
    setBackgroundColors(chrome::clear(), chrome::rgb(1.0, 0.25, 0.25, 0.12),
                        chrome::rgb(1.0, 0.25, 0.25, 0.25));
    setCornerRadius(5);
    setAccessibleName(QStringLiteral("Quit"));
}

void QuitButton::setStemOffset(qreal offset) {
    stemOffset_ = offset;
    update();
}

void QuitButton::applyHoverStyle(bool hovered) {
    color_->animateTo(QVariant::fromValue(hovered ? hoverStrokeColor() : normalStrokeColor()), kColorMs,
                      chrome::easeOutCurve());
    if (stemAnimation_) {
        stemAnimation_->stop();
        stemAnimation_->deleteLater();
        stemAnimation_ = nullptr;
    }
    auto step = [this](qreal from, qreal to, int ms, const QEasingCurve& curve) {
        auto* a = new QVariantAnimation;
        a->setStartValue(from);
        a->setEndValue(to);
        a->setDuration(ms);
        a->setEasingCurve(curve);
        connect(a, &QVariantAnimation::valueChanged, this,
                [this](const QVariant& v) { setStemOffset(v.toReal()); });
        return a;
    };
    if (hovered) {
        // Drop, spring back above the rest position, then settle; the stem's rest place never moves.
        auto* group = new QSequentialAnimationGroup(this);
        const QEasingCurve curves[3] = {chrome::springCurve(), chrome::springCurve(), chrome::easeOutCurve()};
        for (int i = 0; i < 3; ++i) {
            // Rounded at the key times, so that the legs add up to the whole.
            const int ms = static_cast<int>(std::lround(kDropKeyTimes[i + 1] * kDropMs)) -
                           static_cast<int>(std::lround(kDropKeyTimes[i] * kDropMs));
            group->addAnimation(step(kDropOffsets[i], kDropOffsets[i + 1], ms, curves[i]));
        }
        stemAnimation_ = group;
    } else {
        auto* back = step(stemOffset_, 0.0, kSettleMs, chrome::linearCurve());
        back->setParent(this);
        stemAnimation_ = back;
    }
    connect(stemAnimation_, &QAbstractAnimation::finished, this, [this] { setStemOffset(0); });
    stemAnimation_->start();
}

void QuitButton::paintContent(QPainter& painter, const QRectF& rect) {
    painter.translate(rect.center() - QPointF(12, 12));
    QPen pen(color_->color(), 1.8);
    pen.setCapStyle(Qt::RoundCap);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    // The ring leaves an 80-degree gap at the top for the stem.
    QPainterPath arc;
    const QRectF box(6, 6, 12, 12);
    arc.arcMoveTo(box, 50);
    arc.arcTo(box, 50, -280);
    painter.drawPath(arc);
    // Top-down: the stem runs from above the ring's gap to the centre.
    painter.drawLine(QPointF(12, 5 + stemOffset_), QPointF(12, 12 + stemOffset_));
}
