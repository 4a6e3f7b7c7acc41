#pragma once

#include "chrome/BaseHoverButton.h"

#include <QPainterPath>

// The settings button: a six-toothed gear that turns an eighth and goes amber under the pointer.
class GearButton : public BaseHoverButton {
    Q_OBJECT
public:
    static constexpr int kTurnMs = 350;
    static constexpr int kResetMs = 300;
    static constexpr int kColorMs = 300;
    static constexpr qreal kHoverTurnDegrees = 45.0;

    explicit GearButton(QWidget* parent = nullptr);
    QSize sizeHint() const override { return QSize(24, 24); }

    qreal rotationTarget() const { return rotation_->targetReal(); }
    QColor gearColorTarget() const { return color_->targetColor(); }

    static QColor normalGearColor() { return chrome::white(1.0, 0.35); }
    static QColor hoverGearColor() { return chrome::rgb(1.0, 0.78, 0.28, 0.9); }
    // The gear about (12, 12) in a 24-pixel square, with its hole.
    static QPainterPath buildGearPath();

    // Turns the gear back upright and greys it, as when the pointer leaves; the controller calls it
    // when the settings panel opens or closes under a gear that still looks hovered.
    void resetGearToNormal();

protected:
    void applyHoverStyle(bool hovered) override;
    void paintContent(QPainter& painter, const QRectF& rect) override;

private:
    QPainterPath path_;
    chrome::Tween* rotation_;
    chrome::Tween* color_;
};
