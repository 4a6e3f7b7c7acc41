#pragma once

#include <QPointer>

class BorderlessWindow;

// The window's shape: its outline (with the arrow under the tray icon while docked) as the window
// mask, and the border painted along it that glows while the pointer is over a resize edge.
class WindowShape {
public:
    void attach(BorderlessWindow* window) { window_ = window; }

    // Fits the mask and the border to the window's size and place; `trayIconX` is the icon's centre
    // on the desktop (0: unknown), where a docked window's arrow points.
    void update(bool docked, double trayIconX);
    // The pointer came onto a resize edge (true) or left them.
    void handleBorderHover(bool nearEdge);
    bool isBorderHovered() const;

private:
    QPointer<BorderlessWindow> window_;
};
