#pragma once

#include <QEasingCurve>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <functional>

class QPropertyAnimation;
class QWidget;

// The window's own animations: the fade of its opacity when it shows and hides, the dimming while
// another window has the keyboard, and the slide of its frame (following the tray icon, snapping,
// the reset). Each kind runs one at a time: a new one replaces the one under way, whose end then
// never runs.
class WindowAnimator : public QObject {
public:
    explicit WindowAnimator(QObject* parent = nullptr);
    ~WindowAnimator() override;

    void attach(QWidget* window) { window_ = window; }

    // Fades the opacity to `to`; 0 ms sets it at once and runs `done` before returning.
    void fade(double to, int durationMs, const QEasingCurve& curve, std::function<void()> done);
    // Dims the window, or brings it back, to `to`; the fade and the dimming do not stop each other.
    void dim(double to, int durationMs, const QEasingCurve& curve, std::function<void()> done = {});
    void stopDim();
    // Slides the frame to `target` (Qt coordinates). The animation, until it ends or is replaced.
    QPropertyAnimation* slideFrame(const QRect& target, int durationMs, const QEasingCurve& curve,
                                   std::function<void()> done = {});
    // Stops everything without running any end (the window's owner goes).
    void stopAll();

private:
    QPropertyAnimation* start(const char* property, const QVariant& to, int durationMs,
                              const QEasingCurve& curve, std::function<void()> done);

    QPointer<QWidget> window_;
    QPointer<QPropertyAnimation> fade_;
    QPointer<QPropertyAnimation> dim_;
    QPointer<QPropertyAnimation> frame_;
};
