#pragma once

#include "chrome/ChromeAnimation.h"
#include "chrome/ChromeStyle.h"

#include <QColor>
#include <QWidget>
#include <functional>

// The small buttons of the chrome and its panels: a background that animates between a rest,
// hover and pressed colour, an optional spring growth of the content on hover, an owner-set
// active state that keeps the hover look, and `onClick` on a release inside.
class BaseHoverButton : public QWidget {
    Q_OBJECT
public:
    static constexpr int kHoverBgMs = 150;
    static constexpr int kLeaveBgMs = 250;
    static constexpr int kPressBgMs = 60;
    static constexpr int kReleaseBgMs = 120;
    static constexpr int kActiveBgMs = 250;
    static constexpr int kGrowMs = 200;
    static constexpr int kShrinkMs = 180;

    explicit BaseHoverButton(QWidget* parent = nullptr);

    std::function<void()> onClick;

    // Scale of the content while hovered; 1.0 means no growth.
    qreal hoverScale() const { return hoverScale_; }
    void setHoverScale(qreal scale);

    bool isHovered() const { return hovered_; }
    bool isPressed() const { return pressed_; }
    bool isActive() const { return active_; }

    QColor normalBgColor() const { return normalBg_; }
    QColor hoverBgColor() const { return hoverBg_; }
    QColor pressBgColor() const { return pressBg_; }
    void setBackgroundColors(const QColor& normal, const QColor& hover, const QColor& press);
    void setCornerRadius(qreal radius);

    virtual void setActive(bool active);
    virtual void animateBg(const QColor& to, int durationMs = kHoverBgMs);

    // The background as drawn now, and as it will settle.
    QColor shownBackground() const { return bg_->color(); }
    QColor backgroundTarget() const { return bg_->targetColor(); }
    qreal shownScale() const { return scale_->real(); }
    qreal scaleTarget() const { return scale_->targetReal(); }

    // Opacity of the whole button, for owners that fade it.
    qreal alpha() const { return alpha_->real(); }
    void setAlpha(qreal alpha) { alpha_->set(alpha); }
    void animateAlpha(qreal to, int durationMs) { alpha_->animateTo(to, durationMs, chrome::easeOutCurve()); }

    // Places the button; a button that grows as a whole gets a little room around `frame` so that
    // its hover growth is not clipped. `frame()` gives back the rect that was asked for.
    void setFrame(const QRect& frame);
    QRect frame() const;

protected:
    enum class ScaleTarget { none, content, whole };
    // What the hover growth scales: nothing, the content (title or symbol) or the whole button.
    virtual ScaleTarget scalableLayer() const { return ScaleTarget::none; }
    // Restyles the content for hovered (true) or not.
    virtual void applyHoverStyle(bool hovered) { (void)hovered; }
    virtual void paintBackground(QPainter& painter, const QRectF& rect);
    virtual void paintContent(QPainter& painter, const QRectF& rect) {
        (void)painter;
        (void)rect;
    }

    // The button's own rect, without the room kept for growth.
    QRectF contentRect() const;
    qreal cornerRadius() const { return radius_; }
    int growthMargin() const;
    void setHoveredFlag(bool hovered) { hovered_ = hovered; }
    void setPressedFlag(bool pressed) { pressed_ = pressed; }
    void setActiveFlag(bool active) { active_ = active; }
    QColor restBackground() const { return active_ ? hoverBg_ : normalBg_; }

    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void animateScale(qreal to, bool spring);

    qreal hoverScale_ = 1.0;
    bool hovered_ = false;
    bool pressed_ = false;
    bool active_ = false;
    QColor normalBg_ = chrome::clear();
    QColor hoverBg_ = chrome::white(1.0, 0.08);
    QColor pressBg_ = chrome::white(1.0, 0.15);
    qreal radius_ = 0;
    chrome::Tween* bg_;
    chrome::Tween* scale_;
    chrome::Tween* alpha_;
};
