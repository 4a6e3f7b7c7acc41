#pragma once

#include <QColor>
#include <QEasingCurve>
#include <QObject>
#include <QPointer>
#include <QVariant>
#include <QVariantAnimation>
#include <functional>

class QWidget;

// Timing shared by the chrome's animations. Durations are constants in milliseconds so that tests
// can run an animation to its end instead of waiting for it.
namespace chrome {

// The overshooting curve of hover growth and springy toggles.
QEasingCurve springCurve();
QEasingCurve easeOutCurve();
QEasingCurve easeInCurve();
QEasingCurve easeInOutCurve();
QEasingCurve linearCurve();

// A value shown on screen that moves towards the value its owner set last. `target()` is that
// value at once (what the state is); `value()` is what is drawn now. Every step repaints the
// owner widget.
class Tween : public QObject {
    Q_OBJECT
public:
    Tween(QWidget* owner, const QVariant& initial);

    // Animates from the value shown now; a running animation is replaced.
    void animateTo(const QVariant& target, int durationMs, const QEasingCurve& curve);
    // Sets the value at once and stops any animation.
    void set(const QVariant& value);

    QVariant value() const { return current_; }
    QVariant target() const { return target_; }
    QColor color() const { return current_.value<QColor>(); }
    qreal real() const { return current_.toReal(); }
    QColor targetColor() const { return target_.value<QColor>(); }
    qreal targetReal() const { return target_.toReal(); }
    bool isRunning() const { return animation_->state() == QAbstractAnimation::Running; }

    std::function<void()> onStep;

private:
    QPointer<QWidget> owner_;
    QVariantAnimation* animation_;
    QVariant current_;
    QVariant target_;
};

// A widget's whole-content opacity (children included), through an opacity effect installed on
// first use and dropped again at full opacity.
void setWidgetAlpha(QWidget* widget, qreal alpha);
qreal widgetAlpha(const QWidget* widget);
// Fades a widget; a fade already running on it is replaced. `done` runs when the fade completes.
void fadeWidget(QWidget* widget, qreal to, int durationMs, const QEasingCurve& curve,
                std::function<void()> done = {});

} // namespace chrome
