#pragma once

#include "chrome/BaseHoverButton.h"

class QSequentialAnimationGroup;

// The quit button: a power symbol whose strokes go red and whose stem drops and bounces under
// the pointer.
class QuitButton : public BaseHoverButton {
    Q_OBJECT
public:
    static constexpr int kColorMs = 250;
    static constexpr int kDropMs = 450;
    static constexpr int kSettleMs = 250;

    explicit QuitButton(QWidget* parent = nullptr);
    QSize sizeHint() const override { return QSize(24, 24); }

    QColor strokeColorTarget() const { return color_->targetColor(); }
    qreal stemOffset() const { return stemOffset_; }

    static QColor normalStrokeColor() { return chrome::white(1.0, 0.35); }
    static QColor hoverStrokeColor() { return chrome::rgb(1.0, 0.35, 0.35, 0.95); }
    // The downward offsets the stem passes through when the pointer enters, with their key times.
    static constexpr qreal kDropOffsets[4] = {0.0, 2.5, -2.0, 0.0};
    static constexpr qreal kDropKeyTimes[4] = {0.0, 0.3, 0.65, 1.0};

protected:
    void applyHoverStyle(bool hovered) override;
    void paintContent(QPainter& painter, const QRectF& rect) override;

private:
    void setStemOffset(qreal offset);

    chrome::Tween* color_;
    qreal stemOffset_ = 0;
    QAbstractAnimation* stemAnimation_ = nullptr;
};
