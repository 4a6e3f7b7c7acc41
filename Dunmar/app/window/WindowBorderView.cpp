#include "app/window/WindowBorderView.h"

#include <QPainter>
#include <QVariantAnimation>

namespace {
// The band along the edges that the border can touch: the stroke, the rounded corners' curve.
constexpr int kBand = 14;
} // namespace

QColor WindowBorderView::normalColor() {
    return QColor::fromRgbF(1, 1, 1, 0.10f);
}

QColor WindowBorderView::hoverColor() {
    return QColor::fromRgbF(1, 1, 1, 0.35f);
}

WindowBorderView::WindowBorderView(QWidget* parent) : QWidget(parent), color_(normalColor()) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
}

void WindowBorderView::setOutline(const QPainterPath& path, int topInset) {
    outline_ = path;
    // Only the band along the edges is this widget's: the terminals under its middle repaint
    // without repainting the border.
    const QRect all = rect();
    QRegion band(all);
    band -= all.adjusted(kBand, topInset + kBand, -kBand, -kBand);
    setMask(band);
    update();
}

void WindowBorderView::setHovered(bool hovered) {
    if (hovered_ == hovered) return;
    hovered_ = hovered;
    if (glow_) glow_->stop();
    auto* animation = new QVariantAnimation(this);
    animation->setStartValue(hovered ? normalColor() : hoverColor());
    animation->setEndValue(hovered ? hoverColor() : normalColor());
    animation->setDuration(hovered ? kGlowInMs : kGlowOutMs);
    connect(animation, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        color_ = value.value<QColor>();
        update();
    });
    glow_ = animation;
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}

void WindowBorderView::paintEvent(QPaintEvent*) {
    if (outline_.isEmpty()) return;
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(color_, kLineWidth));
    p.setBrush(Qt::NoBrush);
    p.drawPath(outline_);
}
