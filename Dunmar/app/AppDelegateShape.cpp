// The window's shape: the outline with its arrow under the tray icon as the window mask, and the
// border along it that glows while the pointer is over a resize edge.
#include "app/AppDelegate.h"
#include "app/BorderlessWindow.h"
#include "app/WindowBorderView.h"
#include "app/WindowOutline.h"

void AppDelegate::updateWindowMask() {
    if (!borderlessWindow_) return;
    const bool docked = !isWindowDetached_;
    const QPainterPath path = outline::widgetPath(QSizeF(borderlessWindow_->size()), borderlessWindow_->x(),
                                                  docked, currentTrayIconScreenX());
    borderlessWindow_->setMask(outline::maskRegion(path));
    borderlessWindow_->border()->setOutline(path, docked ? static_cast<int>(outline::kArrowHeight) : 0);
}

void AppDelegate::handleBorderHover(bool nearEdge) {
    if (borderlessWindow_) borderlessWindow_->border()->setHovered(nearEdge);
}

bool AppDelegate::isBorderHovered() const {
    return borderlessWindow_ && borderlessWindow_->border()->isHovered();
}
