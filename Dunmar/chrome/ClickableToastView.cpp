#include "chrome/ClickableToastView.h"

#include <QMouseEvent>

ClickableToastView::ClickableToastView(QWidget* parent) : QWidget(parent) {
    setCursor(Qt::PointingHandCursor);
}

void ClickableToastView::mousePressEvent(QMouseEvent* event) {
    event->accept();
    // The action runs while the toast is still in place, so it can read where it was.
    if (onClick) onClick();
    hide();
    setParent(nullptr);
    deleteLater();
}
