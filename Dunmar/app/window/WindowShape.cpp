#include "app/window/WindowShape.h"

#include "app/window/BorderlessWindow.h"
#include "app/window/WindowBorderView.h"
#include "app/window/WindowOutline.h"

void WindowShape::update(bool docked, double trayIconX) {
    if (!window_) return;
    const QPainterPath path = outline::widgetPath(QSizeF(window_->size()), window_->x(), docked, trayIconX);
    window_->setMask(outline::maskRegion(path));
    window_->border()->setOutline(path, docked ? static_cast<int>(outline::kArrowHeight) : 0);
}

void WindowShape::handleBorderHover(bool nearEdge) {
    if (window_) window_->border()->setHovered(nearEdge);
}

bool WindowShape::isBorderHovered() const {
    return window_ && window_->border()->isHovered();
}
