#include "chrome/TabItemView.h"

#include "chrome/TabCloseButton.h"
#include "platform/PlainText.h"

#include <QFontMetricsF>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPauseAnimation>
#include <QSequentialAnimationGroup>
#include <QVariantAnimation>
#include <cmath>

namespace {

// A value swinging between two ends forever, easing in and out at each.
QSequentialAnimationGroup* swingForever(QObject* parent, qreal from, qreal to, int halfMs,
                                        const std::function<void(qreal)>& apply) {
    auto* loop = new QSequentialAnimationGroup(parent);
    for (int leg = 0; leg < 2; ++leg) {
        auto* a = new QVariantAnimation(loop);
        a->setStartValue(leg == 0 ? from : to);
        a->setEndValue(leg == 0 ? to : from);
        a->setDuration(halfMs);
        a->setEasingCurve(chrome::easeInOutCurve());
        QObject::connect(a, &QVariantAnimation::valueChanged, parent,
                         [apply](const QVariant& v) { apply(v.toReal()); });
        loop->addAnimation(a);
    }
    loop->setLoopCount(-1);
    return loop;
}

} // namespace

TabItemView::TabItemView(int index, const QString& title, bool active, bool showClose, const QColor& color,
                         bool hasBell, QWidget* parent)
    : QWidget(parent), tabIndex_(index), title_(plaintext::visibleEscapes(title)), active_(active),
      showClose_(showClose), hasBell_(hasBell), color_(color),
      font_(chrome::monoFont(10, active ? QFont::Medium : QFont::Normal)),
      bg_(new chrome::Tween(this,
                            QVariant::fromValue(active ? chrome::withAlpha(color, 0.18) : chrome::clear()))) {
    setCursor(Qt::ArrowCursor);
    setAccessibleName(title_);
    if (showClose_) {
        closeBtn_ = new TabCloseButton(this);
        closeBtn_->setAlpha(kCloseRestAlpha);
        closeBtn_->onClick = [this] {
            if (onClose) onClose();
        };
    }
    if (hasBell_) {
        auto* blink = swingForever(this, 1.0, 0.2, kBellBlinkMs, [this](qreal v) {
            bellOpacity_ = v;
            update();
        });
        blink->setObjectName(QStringLiteral("bell-blink"));
        blink->start();
    }
}

QRectF TabItemView::titleClipRect() const {
    const qreal left = hasBell_ ? 17 : 7;
    const qreal right = showClose_ ? 26 : 7;
    return QRectF(left, 1, std::max<qreal>(0, width() - left - right), std::max(0, height() - 2));
}

qreal TabItemView::titleWidth() const {
    const qreal text = std::ceil(QFontMetricsF(font_).horizontalAdvance(title_)) + 4;
    return std::max(text, titleClipRect().width());
}

QColor TabItemView::titleColor() const {
    if (active_) return chrome::white(0.92);
    return hovered_ ? chrome::white(0.78) : chrome::white(0.48);
}

void TabItemView::resizeEvent(QResizeEvent*) {
    if (closeBtn_) closeBtn_->setGeometry(width() - 3 - 16, (height() - 16) / 2, 16, 16);
}

void TabItemView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor bg = bg_->color();
    if (bg.alpha() > 0) {
        QPainterPath path;
        path.addRoundedRect(QRectF(rect()), 4, 4);
        painter.fillPath(path, bg);
        if (active_) {
            // A hairline in the tab's colour lifts the active tab off the bar.
            QPainterPath edge;
            edge.addRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 4, 4);
            painter.strokePath(edge, QPen(chrome::withAlpha(color_, 0.22), 1));
        }
    }
    if (hasBell_) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(chrome::withAlpha(chrome::systemBlue(), bellOpacity_));
        painter.drawEllipse(QPointF(10, height() / 2.0), 3, 3);
    }
    const QRectF clip = titleClipRect();
    if (clip.width() <= 0) return;
    painter.save();
    painter.setClipRect(clip);
    painter.setFont(font_);
    painter.setPen(titleColor());
    const QFontMetricsF fm(font_);
    const qreal top = clip.top() + std::max<qreal>(0, (clip.height() - std::ceil(fm.height())) / 2);
    const QRectF textBox(clip.left() + marqueeOffset_, top, titleWidth(), std::ceil(fm.height()));
    painter.drawText(textBox, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, title_);
    painter.restore();
}

void TabItemView::enterEvent(QEnterEvent* event) {
    QWidget::enterEvent(event);
    hovered_ = true;
    if (closeBtn_) {
        closeBtn_->show();
        closeBtn_->animateAlpha(1.0, kCloseShowMs);
    }
    if (!active_)
        bg_->animateTo(QVariant::fromValue(chrome::withAlpha(color_, 0.12)), kHoverBgMs,
                       chrome::easeOutCurve());
    startMarquee();
    update();
}

void TabItemView::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    hovered_ = false;
    if (closeBtn_) closeBtn_->animateAlpha(kCloseRestAlpha, kCloseHideMs);
    if (!active_) bg_->animateTo(QVariant::fromValue(chrome::clear()), kHoverBgMs, chrome::easeOutCurve());
    stopMarquee();
    update();
}

void TabItemView::startMarquee() {
    stopMarquee();
    const qreal clipWidth = titleClipRect().width();
    const qreal labelWidth = titleWidth();
    if (clipWidth <= 0 || clipWidth >= labelWidth) return;
    const qreal overflow = labelWidth - clipWidth;
    const int legMs = static_cast<int>(overflow / kMarqueeSpeed * 1000.0);
    auto* marquee = new QSequentialAnimationGroup(this);
    marquee->setObjectName(QStringLiteral("marquee"));
    marquee->addAnimation(new QPauseAnimation(kMarqueeDelayMs, marquee));
    QSequentialAnimationGroup* swing = swingForever(this, 0.0, -overflow, legMs, [this](qreal v) {
        marqueeOffset_ = v;
        update();
    });
    swing->setParent(nullptr);
    marquee->addAnimation(swing);
    marquee_ = marquee;
    marquee->start();
}

void TabItemView::stopMarquee() {
    if (marquee_) {
        marquee_->stop();
        marquee_->deleteLater();
    }
    marquee_ = nullptr;
    marqueeOffset_ = 0;
}

bool TabItemView::pointInClose(const QPointF& p) const {
    return closeBtn_ && closeBtn_->isVisible() && closeBtn_->geometry().contains(p.toPoint());
}

void TabItemView::restBackground() {
    if (active_) return;
    bg_->set(QVariant::fromValue(hovered_ ? chrome::withAlpha(color_, 0.12) : chrome::clear()));
}

void TabItemView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || pointInClose(event->position())) {
        event->ignore();
        return;
    }
    event->accept();
    dragOrigin_ = event->globalPosition();
    if (!active_) bg_->set(QVariant::fromValue(chrome::withAlpha(color_, 0.25)));
}

void TabItemView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || pointInClose(event->position())) {
        event->ignore();
        return;
    }
    event->accept();
    if (onDoubleClick) onDoubleClick(tabIndex_);
}

void TabItemView::mouseMoveEvent(QMouseEvent* event) {
    if (!dragOrigin_) {
        event->ignore();
        return;
    }
    // Measured on the screen: the tab itself moves under the pointer while it is dragged.
    const qreal dx = event->globalPosition().x() - dragOrigin_->x();
    if (!dragging_ && std::abs(dx) > kDragThreshold) {
        dragging_ = true;
        chrome::fadeWidget(this, 0.5, kDragFadeMs, chrome::easeOutCurve());
    }
    if (dragging_ && onDragMoved) onDragMoved(tabIndex_, dx);
}

void TabItemView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    event->accept();
    if (dragging_) {
        dragging_ = false;
        dragOrigin_.reset();
        chrome::fadeWidget(this, 1.0, kDropFadeMs, chrome::easeOutCurve());
        if (onDragEnded) onDragEnded(tabIndex_);
        return;
    }
    dragOrigin_.reset();
    if (pointInClose(event->position())) return;
    restBackground();
    // Last: selecting the tab makes the header rebuild its strip.
    if (rect().contains(event->position().toPoint()) && onClick) onClick();
}
