#pragma once

#include "git/GitRowText.h"

#include <QPointer>
#include <QWidget>

class QTimer;
class QVariantAnimation;

// A one-line label whose text, when it is too long for the label, slides left while the pointer
// rests on it until its end shows, waits, slides back, and so on; leaving puts it back at the start.
class MarqueeLabel : public QWidget {
    Q_OBJECT
public:
    static constexpr int kTickMs = 1000 / 60;
    static constexpr int kPauseAtStart = 60; // ticks: 1 s
    static constexpr int kPauseAtEnd = 90;   // ticks: 1.5 s
    static constexpr double kStep = 0.5;     // points per tick
    static constexpr double kMinOverflow = 5;
    static constexpr int kReturnMs = 300;

    explicit MarqueeLabel(QWidget* parent = nullptr);
    ~MarqueeLabel() override;

    // The text as drawn.
    const StyledText& attributedText() const { return text_; }
    void setAttributedText(const StyledText& text);

    // The width the text needs: its drawn width rounded up, plus 4.
    double textWidth() const { return textWidth_; }
    bool isHovering() const { return isHovering_; }
    bool isScrolling() const;
    // Where the text starts: 0 or to the left of the label's edge.
    double offset() const { return offset_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void tick();

    StyledText text_;
    QTimer* scrollTimer_ = nullptr;
    QPointer<QVariantAnimation> returning_;
    bool isHovering_ = false;
    int pauseCounter_ = 0;
    double textWidth_ = 0;
    double offset_ = 0;
    double direction_ = -1;
};
