#pragma once

#include "chrome/ChromeAnimation.h"
#include "chrome/ChromeStyle.h"

#include <QWidget>
#include <functional>

// The on/off switch of the Boolean settings: a rounded track, blue when on and grey when off, and
// a white thumb that slides across. A press flips it and reports the new state; setting `isOn`
// from code animates the same way but reports nothing. It grows a little under the pointer, so
// the widget keeps a margin of `kMargin` around the 34 × 18 switch for that growth.
class SettingsToggle : public QWidget {
    Q_OBJECT
public:
    static constexpr int kWidth = 34;
    static constexpr int kHeight = 18;
    static constexpr int kMargin = 2;
    static constexpr int kSlideMs = 200;
    static constexpr int kHoverMs = 150;
    static constexpr qreal kHoverScale = 1.08;

    static QColor onTrackColor() { return chrome::rgb(0.3, 0.55, 1.0); }
    static QColor offTrackColor() { return chrome::white(0.3); }

    explicit SettingsToggle(bool isOn, QWidget* parent = nullptr);

    bool isOn() const { return on_; }
    // Every assignment animates the switch to the state, also to the state it already shows.
    void setIsOn(bool on);
    // The change is animated in either case; `animated` is kept for callers that say which.
    void setOn(bool on, bool animated) {
        (void)animated;
        setIsOn(on);
    }

    // Run with the new state after a press flipped the switch (never for changes from code).
    std::function<void(bool)> onChange;

    QSize sizeHint() const override { return QSize(kWidth + 2 * kMargin, kHeight + 2 * kMargin); }
    // Where the switch is drawn at rest, inside the margin.
    QRectF switchRect() const;

    // What is drawn now: 0 off, 1 on, in between while sliding; and the hover growth.
    qreal shownPosition() const { return position_->real(); }
    qreal positionTarget() const { return position_->targetReal(); }
    qreal scaleTarget() const { return scale_->targetReal(); }
    bool isHovered() const { return hovered_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    bool on_;
    bool hovered_ = false;
    chrome::Tween* position_;
    chrome::Tween* scale_;
};
