#pragma once

#include <QColor>
#include <QPainterPath>
#include <QPointer>
#include <QVariantAnimation>
#include <QWidget>

// The thin light border along the window's outline, over everything else in the window. It is
// stroked 3 wide on the outline; the window's mask cuts the outer half away, so 1.5 shows. It
// glows brighter while the pointer is over a resize edge.
class WindowBorderView : public QWidget {
    Q_OBJECT
public:
    static constexpr double kLineWidth = 3.0;
    static constexpr int kGlowInMs = 200;
    static constexpr int kGlowOutMs = 300;
    static QColor normalColor(); // white at alpha 0.10
    static QColor hoverColor();  // white at alpha 0.35

    explicit WindowBorderView(QWidget* parent = nullptr);

    // The outline in this widget's coordinates; `topInset` is the height of the arrow above the
    // body (0 when there is none), so that only a band along the edges needs repainting.
    void setOutline(const QPainterPath& path, int topInset);
    const QPainterPath& outline() const { return outline_; }

    // Brightens (true) or dims the border with an animation; a call that changes nothing starts
    // none.
    void setHovered(bool hovered);
    bool isHovered() const { return hovered_; }
    QColor strokeColor() const { return color_; }
    // The running glow animation, if any.
    QVariantAnimation* glowAnimation() const { return glow_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPainterPath outline_;
    QColor color_;
    bool hovered_ = false;
    QPointer<QVariantAnimation> glow_;
};
