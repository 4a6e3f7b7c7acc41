#include "app/window/WindowOutline.h"

#include <QPolygon>
#include <QTransform>
#include <algorithm>

namespace outline {
namespace {

// The control points of a quarter circle drawn as one cubic curve.
constexpr double kKappa = 0.5522847498;

// A rounded corner from the path's current point to `end`, turning at `corner`: the tangent arc of
// radius 12 when both points lie 12 from the corner, as they do here.
void arcThrough(QPainterPath& path, QPointF corner, QPointF end) {
    const QPointF start = path.currentPosition();
    path.cubicTo(start + (corner - start) * kKappa, end + (corner - end) * kKappa, end);
}

} // namespace

double arrowTipX(double width, double windowX, double trayX) {
    if (trayX <= kMinValidTrayX) return width / 2;
    return std::max(kArrowEdgeMargin, std::min(trayX - windowX, width - kArrowEdgeMargin));
}

QPainterPath bottomUpPath(const QSizeF& size, double windowX, bool docked, double trayX) {
    const double w = size.width();
    const double h = size.height();
    const double r = kCornerRadius;
    const double b = docked ? h - kArrowHeight : h; // the top of the body, under the arrow
    QPainterPath p;
    p.moveTo(0, r);
    arcThrough(p, {0, 0}, {r, 0});
    p.lineTo(w - r, 0);
    arcThrough(p, {w, 0}, {w, r});
    p.lineTo(w, b - r);
    arcThrough(p, {w, b}, {w - r, b});
    if (docked) {
        const double a = arrowTipX(w, windowX, trayX);
        p.lineTo(a + kArrowWidth / 2, b);
        p.lineTo(a, h);
        p.lineTo(a - kArrowWidth / 2, b);
    }
    p.lineTo(r, b);
    arcThrough(p, {0, b}, {0, b - r});
    p.closeSubpath();
    return p;
}

QPainterPath widgetPath(const QSizeF& size, double windowX, bool docked, double trayX) {
    const QTransform flip(1, 0, 0, -1, 0, size.height());
    return flip.map(bottomUpPath(size, windowX, docked, trayX));
}

QRegion maskRegion(const QPainterPath& path) {
    return QRegion(path.toFillPolygon().toPolygon(), Qt::WindingFill);
}

} // namespace outline
