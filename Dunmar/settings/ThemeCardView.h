#pragma once

#include "chrome/ChromeAnimation.h"
#include "chrome/TextRuns.h"

#include <QWidget>
#include <functional>

// One card of the prompt-theme picker: a one-line sample of the prompt in the theme's colours.
// The chosen card is outlined in blue; a hovered one lights up faintly. A press shrinks the card a
// little; a release inside it chooses the card, a release outside cancels.
class ThemeCardView : public QWidget {
    Q_OBJECT
public:
    static constexpr int kHoverMs = 150;
    static constexpr int kPressMs = 80;
    static constexpr int kReleaseMs = 100;
    static constexpr qreal kPressScale = 0.96;
    static constexpr qreal kCornerRadius = 4;
    static constexpr qreal kTextInset = 8;

    explicit ThemeCardView(const TextRuns& sample, QWidget* parent = nullptr);

    bool isChosen = false;
    bool isHovered() const { return hovered_; }
    std::function<void()> onClick;

    // Applies the look of the current state; animated, the background moves over kHoverMs.
    void updateLook(bool animated);

    QString sampleText() const;
    QColor backgroundTarget() const { return bg_->targetColor(); }
    qreal borderWidth() const { return borderWidth_; }
    QColor borderColor() const { return borderColor_; }
    qreal scaleTarget() const { return scale_->targetReal(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    TextRuns sample_;
    bool hovered_ = false;
    bool pressed_ = false;
    qreal borderWidth_ = 0;
    QColor borderColor_;
    chrome::Tween* bg_;
    chrome::Tween* scale_;
};
