#pragma once

#include "chrome/BaseHoverButton.h"

// The small "x" of a tab item, red under the pointer.
class TabCloseButton : public BaseHoverButton {
    Q_OBJECT
public:
    static constexpr int kPressFadeMs = 100;
    static constexpr int kReleaseFadeMs = 150;

    explicit TabCloseButton(QWidget* parent = nullptr);

protected:
    void applyHoverStyle(bool hovered) override;
    void paintContent(QPainter& painter, const QRectF& rect) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
};
