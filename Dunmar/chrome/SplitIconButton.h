#pragma once

#include "chrome/BaseHoverButton.h"

#include <QPainterPath>

// The header's split buttons: two framed panes side by side (vertical) or stacked (horizontal),
// teal while the tab is split that way.
class SplitIconButton : public BaseHoverButton {
    Q_OBJECT
public:
    static constexpr int kIconColorMs = 250;
    static constexpr int kIconScaleMs = 200;
    static constexpr qreal kHoverIconScale = 1.15;

    explicit SplitIconButton(bool vertical, QWidget* parent = nullptr);

    void setActive(bool active) override;
    QSize sizeHint() const override { return QSize(20, 20); }

    bool isVertical() const { return vertical_; }
    QColor iconColor() const { return iconColor_->color(); }
    QColor iconColorTarget() const { return iconColor_->targetColor(); }
    qreal iconScaleTarget() const { return iconScale_->targetReal(); }
    bool iconAnimating() const { return iconColor_->isRunning() || iconScale_->isRunning(); }

    static QColor normalIconColor() { return chrome::white(1.0, 0.35); }
    static QColor activeIconColor() { return chrome::rgb(0.3, 0.85, 0.9, 0.7); }
    static QColor hoveredIconColor() { return chrome::rgb(0.3, 0.85, 0.9, 0.9); }

    // The icon in its own square of side 20 (vertical) or 18 (horizontal), top-down.
    static QPainterPath buildIconPath(bool vertical);

protected:
    void applyHoverStyle(bool hovered) override;
    void paintContent(QPainter& painter, const QRectF& rect) override;

private:
    bool vertical_;
    QPainterPath path_;
    chrome::Tween* iconColor_;
    chrome::Tween* iconScale_;
};
