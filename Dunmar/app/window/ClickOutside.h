#pragma once

#include <QList>
#include <QPoint>
#include <QRect>
#include <optional>

// Whether a click somewhere on the desktop hides the window (with "hideOnClickOutside" on). Clicks
// on the window itself, on the tray icon (whose own click toggles the window) and on the desktop's
// panel strip above a screen's usable area (where the tray sits) leave it; every other click hides
// it, also one on no screen. All in Qt's desktop coordinates.
struct ClickOutsideInput {
    QPoint pointer;
    QRect window;
    std::optional<QRect> trayIcon;
    struct Screen {
        QRect frame;
        QRect available;
    };
    QList<Screen> screens;
};

bool clickHidesWindow(const ClickOutsideInput& input);
