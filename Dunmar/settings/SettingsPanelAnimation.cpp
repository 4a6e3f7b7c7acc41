// Opening and closing the settings panel: it slides out from behind the footer and fades in, and
// fades out before it slides back.
#include "chrome/ChromeAnimation.h"
#include "platform/Geometry.h"
#include "settings/SettingsOverlay.h"

#include <QParallelAnimationGroup>
#include <QPropertyAnimation>
#include <QSequentialAnimationGroup>
#include <QVariantAnimation>
#include <algorithm>

namespace {

// The platform's default timing of an animation group: a gentle ease at both ends.
QEasingCurve defaultTiming() {
    QEasingCurve curve(QEasingCurve::BezierSpline);
    curve.addCubicBezierSegment(QPointF(0.25, 0.1), QPointF(0.25, 1.0), QPointF(1.0, 1.0));
    return curve;
}

QPropertyAnimation* slide(QWidget* panel, const QRect& from, const QRect& to, int ms,
                          const QEasingCurve& curve) {
    auto* animation = new QPropertyAnimation(panel, "geometry");
    animation->setStartValue(from);
    animation->setEndValue(to);
    animation->setDuration(ms);
    animation->setEasingCurve(curve);
    return animation;
}

QVariantAnimation* fade(QWidget* panel, qreal from, qreal to, int ms, const QEasingCurve& curve) {
    auto* animation = new QVariantAnimation;
    animation->setStartValue(from);
    animation->setEndValue(to);
    animation->setDuration(ms);
    animation->setEasingCurve(curve);
    QObject::connect(animation, &QVariantAnimation::valueChanged, panel,
                     [panel](const QVariant& v) { chrome::setWidgetAlpha(panel, v.toReal()); });
    return animation;
}

} // namespace

int SettingsOverlay::panelHeight(int contentHeight) {
    const qreal h = (contentHeight - kFooterHeight - kFooterGap) * 2.0 / 3.0;
    return std::max(0, geometry::roundToPixel(h));
}

QRect SettingsOverlay::openFrame(const QSize& contentSize) {
    const int h = panelHeight(contentSize.height());
    return geometry::flippedPixels(QRectF(0, kFooterHeight, contentSize.width(), h), contentSize.height());
}

QRect SettingsOverlay::hiddenFrame(const QSize& contentSize, int panelHeight) {
    return geometry::flippedPixels(QRectF(0, kFooterHeight - panelHeight, contentSize.width(), panelHeight),
                                   contentSize.height());
}

void SettingsOverlay::runPanelAnimation(QAbstractAnimation* animation) {
    if (panelAnimation_) panelAnimation_->stop();
    panelAnimation_ = animation;
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}

void SettingsOverlay::animateOpen(const QSize& contentSize) {
    const QRect open = openFrame(contentSize);
    const int h = open.height();
    const QRect hidden = hiddenFrame(contentSize, h);
    const QRect halfway = geometry::flippedPixels(QRectF(0, kFooterHeight - h / 2.0, contentSize.width(), h),
                                                  contentSize.height());
    setGeometry(hidden);
    chrome::setWidgetAlpha(this, 0.0);

    auto* group = new QSequentialAnimationGroup(this);
    group->addAnimation(slide(this, hidden, halfway, kOpenSlideMs, chrome::easeInCurve()));
    auto* reveal = new QParallelAnimationGroup;
    reveal->addAnimation(slide(this, halfway, open, kOpenRevealMs, chrome::easeOutCurve()));
    reveal->addAnimation(fade(this, 0.0, 1.0, kOpenRevealMs, chrome::easeOutCurve()));
    group->addAnimation(reveal);
    runPanelAnimation(group);
}

void SettingsOverlay::animateClose(std::function<void()> done) {
    const QRect current = geometry();
    const int h = current.height();
    const int contentHeight =
        parentWidget() ? parentWidget()->height() : current.bottom() + 1 + kFooterHeight;
    const QRect hidden(0, contentHeight - kFooterHeight, current.width(), h);

    auto* group = new QSequentialAnimationGroup(this);
    group->addAnimation(fade(this, chrome::widgetAlpha(this), 0.0, kCloseFadeMs, chrome::easeInCurve()));
    group->addAnimation(slide(this, current, hidden, kCloseSlideMs, defaultTiming()));
    QPointer<SettingsOverlay> panel(this);
    connect(group, &QAbstractAnimation::finished, this, [panel, done = std::move(done)] {
        if (panel && done) done();
    });
    runPanelAnimation(group);
}
