#include "chrome/HorizontalScrollArea.h"

#include <QScrollBar>
#include <QWheelEvent>
#include <cstdlib>

HorizontalScrollArea::HorizontalScrollArea(QWidget* parent) : QScrollArea(parent) {
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setWidgetResizable(false);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setAutoFillBackground(false);
    viewport()->setAutoFillBackground(false);
    setAttribute(Qt::WA_TranslucentBackground);
    viewport()->setAttribute(Qt::WA_TranslucentBackground);
    setStyleSheet(QStringLiteral("QScrollArea { background: transparent; border: none; }"));
    setFocusPolicy(Qt::NoFocus);
    connect(horizontalScrollBar(), &QScrollBar::rangeChanged, this, [this](int, int max) {
        if (keepEnd_) horizontalScrollBar()->setValue(max);
    });
}

void HorizontalScrollArea::setKeepEndVisible(bool keep) {
    keepEnd_ = keep;
    if (keep) setScrollX(horizontalScrollBar()->maximum());
}

void HorizontalScrollArea::setContent(QWidget* content) {
    setWidget(content);
    // QScrollArea makes its widget paint the palette's background; the row must not.
    if (content) content->setAutoFillBackground(false);
}

int HorizontalScrollArea::scrollX() const {
    return horizontalScrollBar()->value();
}

void HorizontalScrollArea::setScrollX(int x) {
    horizontalScrollBar()->setValue(x);
}

void HorizontalScrollArea::wheelEvent(QWheelEvent* event) {
    // A mouse wheel only turns vertically; either direction moves the row sideways.
    const QPoint pixels = event->pixelDelta();
    const QPoint angle = event->angleDelta();
    int delta = 0;
    if (!pixels.isNull())
        delta = std::abs(pixels.x()) >= std::abs(pixels.y()) ? pixels.x() : pixels.y();
    else
        delta = (std::abs(angle.x()) >= std::abs(angle.y()) ? angle.x() : angle.y()) / 4;
    if (delta == 0 || horizontalScrollBar()->maximum() == 0) {
        event->ignore();
        return;
    }
    setScrollX(scrollX() - delta);
    event->accept();
}
