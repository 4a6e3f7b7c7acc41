#include "git/MarqueeLabel.h"

#include "platform/PlainText.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QTimer>
#include <QVariantAnimation>
#include <algorithm>
#include <cmath>

MarqueeLabel::MarqueeLabel(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_Hover);
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
}

MarqueeLabel::~MarqueeLabel() {
    delete scrollTimer_;
}

void MarqueeLabel::setAttributedText(const StyledText& text) {
    // File names are the repository's: their control characters are drawn as visible escapes.
    text_ = text;
    for (StyledRun& run : text_) run.text = plaintext::visibleEscapes(run.text);
    double width = 0;
    for (const StyledRun& run : text_) width += QFontMetricsF(run.font).horizontalAdvance(run.text);
    textWidth_ = std::ceil(width) + 4;
    update();
}

bool MarqueeLabel::isScrolling() const {
    return scrollTimer_ && scrollTimer_->isActive();
}

void MarqueeLabel::enterEvent(QEnterEvent*) {
    const double overflow = textWidth_ - width();
    if (overflow <= kMinOverflow) return;
    isHovering_ = true;
    pauseCounter_ = kPauseAtStart;
    offset_ = 0;
    direction_ = -1;
    if (returning_) returning_->stop();
    delete scrollTimer_;
    scrollTimer_ = new QTimer(this);
    connect(scrollTimer_, &QTimer::timeout, this, &MarqueeLabel::tick);
    scrollTimer_->start(kTickMs);
}

void MarqueeLabel::tick() {
    if (!isHovering_) {
        scrollTimer_->stop();
        return;
    }
    if (pauseCounter_ > 0) {
        --pauseCounter_;
        return;
    }
    const double overflow = textWidth_ - width();
    offset_ += kStep * direction_;
    if (offset_ < -overflow) {
        offset_ = -overflow;
        direction_ = 1;
        pauseCounter_ = kPauseAtEnd;
    } else if (offset_ > 0) {
        offset_ = 0;
        direction_ = -1;
        pauseCounter_ = kPauseAtStart;
    }
    update();
}

void MarqueeLabel::leaveEvent(QEvent*) {
    isHovering_ = false;
    delete scrollTimer_;
    scrollTimer_ = nullptr;
    if (offset_ == 0) return;
    if (returning_) returning_->stop();
    auto* back = new QVariantAnimation(this);
    back->setDuration(kReturnMs);
    back->setStartValue(offset_);
    back->setEndValue(0.0);
    connect(back, &QVariantAnimation::valueChanged, this, [this](const QVariant& v) {
        offset_ = v.toDouble();
        update();
    });
    returning_ = back;
    back->start(QAbstractAnimation::DeleteWhenStopped);
}

void MarqueeLabel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setClipRect(rect());
    // Runs of different sizes share one baseline, centred for the largest.
    double ascent = 0, descent = 0;
    for (const StyledRun& run : text_) {
        const QFontMetricsF metrics(run.font);
        ascent = std::max(ascent, metrics.ascent());
        descent = std::max(descent, metrics.descent());
    }
    const double baseline = (height() + ascent - descent) / 2.0;
    double x = offset_;
    for (const StyledRun& run : text_) {
        p.setFont(run.font);
        p.setPen(run.color);
        p.drawText(QPointF(x, baseline), run.text);
        x += QFontMetricsF(run.font).horizontalAdvance(run.text);
    }
}
