#include "platform/TrayIconImage.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPalette>
#include <QPen>

namespace trayicon {
namespace {

constexpr qreal kDimmedAlpha = 0.35;
// The circle's control-point distance for a quarter arc drawn as one cubic curve.
constexpr qreal kKappa = 0.5522847498;

void roundedCorner(QPainterPath& path, QPointF corner, QPointF end) {
    const QPointF start = path.currentPosition();
    path.cubicTo(start + (corner - start) * kKappa, end + (corner - end) * kKappa, end);
}

} // namespace

QPainterPath strokedPath() {
    QPainterPath path;
    // The window frame: x 0.53 to 17.47, y 0 to 13.55, corners of 1.7.
    const qreal l = 0.53, r = 17.47, t = 0.0, b = 13.55, rad = 1.7;
    path.moveTo(l + rad, t);
    path.lineTo(r - rad, t);
    roundedCorner(path, {r, t}, {r, t + rad});
    path.lineTo(r, b - rad);
    roundedCorner(path, {r, b}, {r - rad, b});
    path.lineTo(l + rad, b);
    roundedCorner(path, {l, b}, {l, b - rad});
    path.lineTo(l, t + rad);
    roundedCorner(path, {l, t}, {l + rad, t});
    path.closeSubpath();
    // The prompt chevron and the cursor bar.
    path.moveTo(3.92, 3.39);
    path.lineTo(7.31, 6.78);
    path.lineTo(3.92, 10.16);
    path.moveTo(9.85, 10.16);
    path.lineTo(14.08, 10.16);
    return path;
}

QPainterPath filledPath() {
    QPainterPath path;
    path.moveTo(4.62, 13.55);
    path.lineTo(13.38, 13.55);
    path.lineTo(9.85, 17.25);
    // The rounded tip, whose lowest point is (9.0, 18.0).
    path.cubicTo(9.45, 18.25, 8.55, 18.25, 8.15, 17.25);
    path.closeSubpath();
    return path;
}

QPixmap render(int pixels, Variant variant, bool dimmed, qreal devicePixelRatio) {
    const int device = qRound(pixels * devicePixelRatio);
    QPixmap pixmap(device, device);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    // A margin of half a stroke keeps the frame's top edge whole.
    const qreal margin = kStrokeWidth / 2;
    const qreal scale = (pixels - 2 * margin) / kCanvas;
    p.translate(margin, margin);
    p.scale(scale, scale);
    QColor ink = variant == Variant::light ? QColor(Qt::white) : QColor(Qt::black);
    if (dimmed) ink.setAlphaF(kDimmedAlpha);
    QPen pen(ink, kStrokeWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    p.drawPath(strokedPath());
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    p.drawPath(filledPath());
    return pixmap;
}

QIcon icon(Variant variant, bool dimmed) {
    QIcon result;
    for (int size : {16, 18, 22, 24, 32, 36, 48, 64}) result.addPixmap(render(size, variant, dimmed));
    return result;
}

Variant variantForPalette() {
    const QColor window = QGuiApplication::palette().color(QPalette::Window);
    return window.lightness() < 128 ? Variant::light : Variant::dark;
}

} // namespace trayicon
