#pragma once

#include <QColor>
#include <QPointer>
#include <QRect>
#include <QWidget>
#include <functional>

class QVariantAnimation;

// The thin divider beside a git panel and between side panels: a 2 px strip 5 px in from its left
// edge (vertical) or from its bottom edge (horizontal) that lights up under the pointer and while
// dragged, with the resize cursor. Each drag step is reported as the pointer's movement since the
// last step: positive to the right for a vertical divider, upwards for a horizontal one.
class GitPanelDividerView : public QWidget {
    Q_OBJECT
public:
    static constexpr int kGrab = 5;
    static constexpr int kStripThick = 2;
    static constexpr int kThickness = 12;
    static constexpr int kColorMs = 150;
    static inline const QColor normalColor = QColor::fromRgbF(1.0, 1.0, 1.0, 0.08);
    static inline const QColor hoverColor = QColor::fromRgbF(0.4, 0.65, 1.0, 0.5);
    static inline const QColor dragColor = QColor::fromRgbF(0.4, 0.65, 1.0, 0.75);

    explicit GitPanelDividerView(QWidget* parent = nullptr);

    bool isVertical = true; // a vertical line dragged sideways, else a horizontal one dragged up and down
    std::function<void(double delta)> onDrag;

    // Where the strip is drawn, in the divider's own coordinates.
    QRect stripRect() const;
    // The colour the strip shows (or is going to, while it changes).
    QColor stripColor() const { return targetColor_; }
    bool isHovered() const { return isHovered_; }
    bool isDragging() const { return isDragging_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void setStripColor(const QColor& color, bool animated);
    double axisPosition(const QPointF& global) const;

    double dragStart_ = 0;
    bool isHovered_ = false;
    bool isDragging_ = false;
    QColor shownColor_ = normalColor;
    QColor targetColor_ = normalColor;
    QPointer<QVariantAnimation> colorAnimation_;
};
