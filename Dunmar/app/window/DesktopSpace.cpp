#include "app/window/DesktopSpace.h"

#include "platform/Geometry.h"

#include <QGuiApplication>
#include <QScreen>

namespace desktopspace {

double bottom() {
    const QScreen* primary = QGuiApplication::primaryScreen();
    if (!primary) return 0;
    const QRect g = primary->geometry();
    return g.y() + g.height();
}

QRectF up(const QRect& qtRect) {
    return geometry::toBottomUp(QRectF(qtRect), bottom());
}

QRect down(const QRectF& upRect) {
    return geometry::fromBottomUp(upRect, bottom());
}

placement::ScreenRects rectsOf(const QScreen& screen) {
    return {up(screen.geometry()), up(screen.availableGeometry())};
}

placement::Desktop desktop() {
    placement::Desktop d;
    const QList<QScreen*> screens = QGuiApplication::screens();
    for (int i = 0; i < screens.size(); ++i) {
        d.screens.push_back(rectsOf(*screens[i]));
        if (screens[i] == QGuiApplication::primaryScreen()) d.main = i;
    }
    return d;
}

} // namespace desktopspace
