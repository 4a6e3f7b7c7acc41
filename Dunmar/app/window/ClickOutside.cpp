#include "app/window/ClickOutside.h"

bool clickHidesWindow(const ClickOutsideInput& in) {
    if (in.window.contains(in.pointer)) return false;
    if (in.trayIcon && in.trayIcon->contains(in.pointer)) return false;
    for (const ClickOutsideInput::Screen& screen : in.screens) {
        if (!screen.frame.contains(in.pointer)) continue;
        // The strip above the usable area: the panel with the tray icon.
        return in.pointer.y() >= screen.available.top();
    }
    return true;
}
