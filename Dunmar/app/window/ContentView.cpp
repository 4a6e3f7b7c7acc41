#include "app/window/ContentView.h"

#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>

ContentView::ContentView(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ContentView::setArrowStripVisible(bool visible) {
    if (arrowStrip_ == visible) return;
    arrowStrip_ = visible;
    update();
    if (onResized) onResized();
}

void ContentView::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    // The dark body behind everything; the terminals draw their own translucent shade over it. Only
    // the part being repainted is filled (see WindowBackdrop).
    p.fillRect(event->rect(), QColor::fromRgbF(0.11f, 0.11f, 0.13f));
    if (arrowStrip_) p.fillRect(QRect(0, 0, width(), kArrowStripHeight), QColor::fromRgbF(0, 0, 0, 0.3f));
}

void ContentView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (onResized) onResized();
}
