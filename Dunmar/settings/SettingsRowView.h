#pragma once

#include "chrome/ChromeAnimation.h"
#include "chrome/ChromeStyle.h"

#include <QPointer>
#include <QWidget>

// The rounded background of one settings row. Under the pointer it lights up and dims the row's
// control a little, so that the whole row reads as the control's target.
class SettingsRowView : public QWidget {
    Q_OBJECT
public:
    static constexpr int kEnterMs = 150;
    static constexpr int kLeaveMs = 200;
    static constexpr qreal kCornerRadius = 6;
    static constexpr qreal kHoveredControlAlpha = 0.9;

    static QColor normalBg() { return chrome::white(1.0, 0.04); }
    static QColor hoverBg() { return chrome::white(1.0, 0.09); }

    explicit SettingsRowView(QWidget* parent = nullptr);

    QWidget* hoverControl() const { return hoverControl_; }
    void setHoverControl(QWidget* control) { hoverControl_ = control; }

    bool isHovered() const { return hovered_; }
    QColor backgroundTarget() const { return bg_->targetColor(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    bool hovered_ = false;
    QPointer<QWidget> hoverControl_;
    chrome::Tween* bg_;
};
