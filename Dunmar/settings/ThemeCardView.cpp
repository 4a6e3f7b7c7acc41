#include "settings/ThemeCardView.h"

#include "chrome/ChromeStyle.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

ThemeCardView::ThemeCardView(const TextRuns& sample, QWidget* parent)
    : QWidget(parent), sample_(sample), borderColor_(chrome::clear()),
      bg_(new chrome::Tween(this, QVariant::fromValue(chrome::clear()))),
      scale_(new chrome::Tween(this, 1.0)) {
    setCursor(Qt::ArrowCursor);
    setAccessibleName(sampleText());
}

QString ThemeCardView::sampleText() const {
    QString text;
    for (const TextRun& run : sample_) text += run.text;
    return text;
}

void ThemeCardView::updateLook(bool animated) {
    QColor bg = chrome::clear();
    if (isChosen) {
        bg = chrome::white(1.0, 0.08);
        borderWidth_ = 1.0;
        borderColor_ = chrome::rgb(0.4, 0.7, 1.0, 0.4);
    } else if (hovered_) {
        bg = chrome::white(1.0, 0.06);
        borderWidth_ = 0.5;
        borderColor_ = chrome::white(1.0, 0.15);
    } else {
        borderWidth_ = 0;
        borderColor_ = chrome::clear();
    }
    if (animated)
        bg_->animateTo(QVariant::fromValue(bg), kHoverMs, chrome::easeInOutCurve());
    else
        bg_->set(QVariant::fromValue(bg));
    update();
}

void ThemeCardView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF r = QRectF(rect());
    const qreal s = scale_->real();
    painter.translate(r.center());
    painter.scale(s, s);
    painter.translate(-r.center());

    QPainterPath path;
    const qreal inset = borderWidth_ / 2;
    path.addRoundedRect(r.adjusted(inset, inset, -inset, -inset), kCornerRadius, kCornerRadius);
    painter.fillPath(path, bg_->color());
    if (borderWidth_ > 0) {
        painter.setPen(QPen(borderColor_, borderWidth_));
        painter.drawPath(path);
    }
    chrome::drawRunsAt(painter, sample_, kTextInset, r);
}

void ThemeCardView::enterEvent(QEnterEvent* event) {
    QWidget::enterEvent(event);
    hovered_ = true;
    updateLook(true);
}

void ThemeCardView::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    hovered_ = false;
    updateLook(true);
}

void ThemeCardView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    event->accept();
    pressed_ = true;
    scale_->animateTo(kPressScale, kPressMs, chrome::easeInOutCurve());
}

void ThemeCardView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    event->accept();
    const bool click = pressed_ && rect().contains(event->position().toPoint());
    pressed_ = false;
    scale_->animateTo(1.0, kReleaseMs, chrome::easeInOutCurve());
    if (click && onClick) onClick();
}
