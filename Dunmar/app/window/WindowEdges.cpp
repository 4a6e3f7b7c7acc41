#include "app/window/WindowEdges.h"

#include <algorithm>

namespace edges {

Edge edgeAt(const QPointF& p, const QSizeF& size, bool detached) {
    const double w = size.width();
    const double h = size.height();
    const bool left = p.x() < kEdgeInset;
    const bool right = p.x() > w - kEdgeInset;
    const bool bottom = p.y() < kEdgeInset;
    const bool top = detached && p.y() > h - kEdgeInset;
    if (top && left) return Edge::topLeft;
    if (top && right) return Edge::topRight;
    if (bottom && left) return Edge::bottomLeft;
    if (bottom && right) return Edge::bottomRight;
    if (left) return Edge::left;
    if (right) return Edge::right;
    if (top) return Edge::top;
    if (bottom) return Edge::bottom;
    return Edge::none;
}

Qt::CursorShape cursorFor(Edge edge) {
    switch (edge) {
    case Edge::left:
    case Edge::right:
        return Qt::SizeHorCursor;
    case Edge::top:
    case Edge::bottom:
        return Qt::SizeVerCursor;
    case Edge::topLeft:
    case Edge::bottomRight:
        return Qt::SizeFDiagCursor;
    case Edge::topRight:
    case Edge::bottomLeft:
        return Qt::SizeBDiagCursor;
    case Edge::none:
        break;
    }
    return Qt::ArrowCursor;
}

QRectF draggedFrame(Edge edge, const QRectF& start, double dx, double dy, const QSizeF& minSize) {
    double x = start.x(), y = start.y(), w = start.width(), h = start.height();
    const bool right = edge == Edge::right || edge == Edge::topRight || edge == Edge::bottomRight;
    const bool left = edge == Edge::left || edge == Edge::topLeft || edge == Edge::bottomLeft;
    const bool top = edge == Edge::top || edge == Edge::topLeft || edge == Edge::topRight;
    const bool bottom = edge == Edge::bottom || edge == Edge::bottomLeft || edge == Edge::bottomRight;
    if (right) w = std::max(minSize.width(), start.width() + dx);
    if (left) {
        w = std::max(minSize.width(), start.width() - dx);
        x = start.right() - w;
    }
    if (top) h = std::max(minSize.height(), start.height() + dy);
    if (bottom) {
        h = std::max(minSize.height(), start.height() - dy);
        y = start.bottom() - h; // QRectF::bottom() is the upper edge in upward coordinates
    }
    return QRectF(x, y, w, h);
}

QRectF keepUnderStatusItem(const QRectF& frame, double m) {
    constexpr double kReach = 30;
    QRectF f = frame;
    if (f.left() > m - kReach) f.setLeft(m - kReach); // the right edge stays
    if (f.right() < m + kReach) f.setRight(m + kReach);
    return f;
}

QRectF maximizedFrame(Edge edge, bool detached, const QRectF& vf, const QRectF& frame, double a) {
    constexpr double kPastIcon = 24;
    const double top = frame.bottom(); // the window's upper edge stays for a docked window
    switch (edge) {
    case Edge::left:
        if (detached) return QRectF(vf.x(), vf.y(), vf.width() * 0.5, vf.height());
        return QRectF(vf.x(), vf.y(), a + kPastIcon - vf.x(), top - vf.y());
    case Edge::right: {
        if (detached) return QRectF(vf.x() + vf.width() * 0.5, vf.y(), vf.width() * 0.5, vf.height());
        const double x = a - kPastIcon;
        return QRectF(x, vf.y(), vf.right() - x, top - vf.y());
    }
    case Edge::bottom:
        if (detached) return QRectF(frame.x(), vf.y(), frame.width(), vf.height());
        return QRectF(frame.x(), vf.y(), frame.width(), top - vf.y());
    default:
        return vf;
    }
}

} // namespace edges
