#pragma once

#include <QWidget>

class QVariantAnimation;

// The veil over the pane of a split that is not active: a dark translucent layer that every mouse
// event passes through to the pane below. It fades in and out.
class PassthroughBlurView : public QWidget {
    Q_OBJECT
public:
    static constexpr qreal kAlpha = 0.55;

    explicit PassthroughBlurView(QWidget* parent = nullptr);

    // Fades to shown or hidden over `durationMs` (0: at once).
    void setShown(bool shown, int durationMs = 0);
    // The state it is in or fading to.
    bool isShown() const { return shown_; }
    // The current strength, 0 (clear) to 1 (fully dimmed).
    qreal level() const { return level_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool shown_ = false;
    qreal level_ = 0;
    QVariantAnimation* fade_ = nullptr;
};
