#include "settings/SegmentedControl.h"

#include "chrome/ChromeStyle.h"

#include <QFontMetricsF>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <cmath>

SegmentedControl::SegmentedControl(const QStringList& labels, int selected, QWidget* parent)
    : QWidget(parent), labels_(labels), selected_(-1), font_(chrome::monoFont(9, QFont::Medium)) {
    setSelectedSegment(selected);
    setFixedSize(sizeHint());
    setCursor(Qt::ArrowCursor);
    setFocusPolicy(Qt::NoFocus);
}

void SegmentedControl::setSelectedSegment(int index) {
    selected_ = (index >= 0 && index < segmentCount()) ? index : -1;
    update();
}

qreal SegmentedControl::segmentWidth(int index) const {
    return std::ceil(QFontMetricsF(font_).horizontalAdvance(labels_.at(index))) + 2 * kSegmentPadding;
}

QRectF SegmentedControl::segmentRect(int index) const {
    qreal x = 1;
    for (int i = 0; i < index; ++i) x += segmentWidth(i);
    return QRectF(x, 1, segmentWidth(index), height() - 2);
}

QSize SegmentedControl::sizeHint() const {
    qreal width = 2;
    for (int i = 0; i < segmentCount(); ++i) width += segmentWidth(i);
    return QSize(static_cast<int>(std::ceil(width)), kHeight);
}

void SegmentedControl::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF outer = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    QPainterPath frame;
    frame.addRoundedRect(outer, 5, 5);
    painter.fillPath(frame, chrome::white(1.0, 0.07));
    painter.setPen(QPen(chrome::white(1.0, 0.1), 0.5));
    painter.drawPath(frame);

    for (int i = 0; i < segmentCount(); ++i) {
        const QRectF r = segmentRect(i);
        if (i == selected_) {
            QPainterPath knob;
            knob.addRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), 4, 4);
            painter.fillPath(knob, chrome::white(1.0, 0.24));
        } else if (i > 0 && i - 1 != selected_) {
            painter.setPen(QPen(chrome::white(1.0, 0.12), 1));
            painter.drawLine(QPointF(r.left(), r.top() + 4), QPointF(r.left(), r.bottom() - 4));
        }
        painter.setFont(font_);
        painter.setPen(i == selected_ ? chrome::white(1.0, 0.95) : chrome::white(0.72));
        painter.drawText(r, Qt::AlignCenter, labels_.at(i));
    }
}

void SegmentedControl::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    event->accept();
    for (int i = 0; i < segmentCount(); ++i) {
        if (!segmentRect(i).contains(event->position())) continue;
        setSelectedSegment(i);
        emit segmentClicked(i);
        return;
    }
}
