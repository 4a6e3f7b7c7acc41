#pragma once

#include "chrome/ChromeAnimation.h"
#include "chrome/ChromeStyle.h"

#include <QWidget>
#include <functional>

// The reddish row that resets every setting: lighter under the pointer, darker while pressed, and
// inert while disabled. A press released inside runs `onClick`. The panel decides the resting
// background (normal or disabled) whenever it checks the settings against their defaults.
class ResetRowView : public QWidget {
    Q_OBJECT
public:
    static constexpr int kHoverMs = 150;
    static constexpr qreal kCornerRadius = 6;

    static QColor normalBg() { return chrome::rgb(0.4, 0.1, 0.1, 0.25); }
    static QColor hoverBg() { return chrome::rgb(0.55, 0.12, 0.12, 0.45); }
    static QColor pressBg() { return chrome::rgb(0.65, 0.15, 0.15, 0.55); }
    static QColor disabledBg() { return chrome::white(0.2, 0.1); }

    explicit ResetRowView(QWidget* parent = nullptr);

    std::function<void()> onClick;

    bool isDisabled() const { return disabled_; }
    // Changes no look by itself; see setBackground.
    void setDisabled(bool disabled) { disabled_ = disabled; }
    bool isHovered() const { return hovered_; }

    void setBackground(const QColor& color) { bg_->set(QVariant::fromValue(color)); }
    QColor background() const { return bg_->color(); }
    QColor backgroundTarget() const { return bg_->targetColor(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool disabled_ = false;
    bool hovered_ = false;
    chrome::Tween* bg_;
};
