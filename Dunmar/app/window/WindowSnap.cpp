#include "app/window/WindowSnap.h"

namespace snap {

// A full-height snap stays this far below the top, clear of the desktop's top panel edge.
constexpr double kTopGap = 4;

QRectF target(Kind kind, const QRectF& V, const QRectF& F) {
    const double halfW = V.width() / 2;
    const double halfH = V.height() / 2;
    switch (kind) {
    case Kind::upperLeftQuarter:
        return QRectF(V.x(), V.y() + halfH, halfW, halfH);
    case Kind::upperRightQuarter:
        return QRectF(V.x() + halfW, V.y() + halfH, halfW, halfH);
    case Kind::rightHalf:
        return QRectF(V.x() + halfW, V.y(), halfW, V.height() - kTopGap);
    case Kind::fullScreen:
        return V;
    case Kind::fullWidth:
        return QRectF(V.x(), F.y(), V.width(), F.height());
    case Kind::fullHeight:
        return QRectF(F.x(), V.y(), F.width(), V.height() - kTopGap);
    }
    return F;
}

QRectF Memory::apply(Kind kind, const QRectF& V, const QRectF& F) {
    std::optional<QRectF>* remembered = nullptr;
    if (kind == Kind::fullScreen) remembered = &preFullscreenFrame;
    if (kind == Kind::fullWidth) remembered = &preHorizontFrame;
    if (kind == Kind::fullHeight) remembered = &preVerticalFrame;
    if (!remembered) {
        clear();
        return target(kind, V, F);
    }
    if (*remembered) {
        const QRectF back = **remembered;
        clear();
        return back;
    }
    clear();
    *remembered = F;
    return target(kind, V, F);
}

} // namespace snap
