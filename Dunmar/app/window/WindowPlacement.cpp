#include "app/window/WindowPlacement.h"

#include <algorithm>
#include <cmath>

namespace placement {

const ScreenRects* Desktop::mainOrFirst() const {
    if (main >= 0 && main < static_cast<int>(screens.size())) return &screens[static_cast<size_t>(main)];
    return screens.empty() ? nullptr : &screens.front();
}

const ScreenRects* Desktop::screenSpanning(double x) const {
    for (const ScreenRects& s : screens)
        if (s.frame.left() <= x && x <= s.frame.right()) return &s;
    return nullptr;
}

bool Desktop::intersectsAnyVisible(const QRectF& rect) const {
    return std::any_of(screens.begin(), screens.end(),
                       [&](const ScreenRects& s) { return s.visible.intersects(rect); });
}

QRectF clampFrameToScreen(const QRectF& frame, const ScreenRects* screen) {
    if (!screen) return frame;
    const QRectF& v = screen->visible;
    const double w = std::min(frame.width(), v.width());
    const double h = std::min(frame.height(), v.height());
    const double x = std::max(v.left(), std::min(frame.x(), v.right() - w));
    const double y = std::max(v.top(), std::min(frame.y(), v.bottom() - h));
    return QRectF(x, y, w, h);
}

// QRectF's top() is its smallest y and bottom() its largest: in these upward coordinates they are
// the visual bottom and top edges. These names say which is meant.
namespace {
double minY(const QRectF& r) {
    return r.top();
}
double maxY(const QRectF& r) {
    return r.bottom();
}
} // namespace

std::optional<Placement> placeUnderStatusItem(const PlacementInput& in) {
    double w = in.windowSize.width();
    double h = in.windowSize.height();
    Placement result;
    double y = 0;
    double anchorX = 0;
    bool anchored = false;
    if (in.statusButton) {
        y = std::round(minY(*in.statusButton) - kGapUnderIcon - h);
        if (y > 0) {
            anchorX = in.statusButton->center().x();
            anchored = true;
        }
    }
    if (!anchored) {
        const ScreenRects* screen = in.desktop.mainOrFirst();
        if (!screen) return std::nullopt;
        const QRectF& v = screen->visible;
        y = std::round(maxY(v) - kGapUnderIcon - h);
        if (y <= 0) {
            h = std::max(v.height() - kGapUnderIcon, kMinWindowHeight);
            result.heightChanged = true;
            y = std::round(maxY(v) - kGapUnderIcon - h);
        }
        y = std::max(y, minY(v));
        anchorX = std::round(v.center().x());
    }
    double x = std::round(anchorX - w / 2);
    if (in.detached && in.storedWindowX &&
        in.desktop.intersectsAnyVisible(QRectF(*in.storedWindowX, y, w, h)))
        x = *in.storedWindowX;

    const ScreenRects* target = nullptr;
    if (in.statusButtonScreen) target = &*in.statusButtonScreen;
    if (!target) target = in.desktop.screenSpanning(anchorX);
    if (!target) target = in.desktop.mainOrFirst();
    const QRectF c = clampFrameToScreen(QRectF(x, y, w, h), target);
    result.anchorX = anchorX;
    if (in.detached) {
        result.frame = c;
        return result;
    }

    const double minX = target ? target->visible.left() : 0;
    const double maxX = target ? target->visible.right() : 9999;
    const double offset = anchorX - c.x();
    const double cw = c.width();
    if (offset < kArrowEdgeMargin) {
        // The arrow would come closer than 24 to the left side: the window moves right of the
        // icon's left, and where that would cross the screen's edge it stops at the edge, keeping
        // its width (the arrow then stops 24 inside the window).
        result.frame = QRectF(std::max(anchorX - kArrowEdgeMargin, minX), c.y(), cw, c.height());
    } else if (offset > cw - kArrowEdgeMargin) {
        // The same at the right side. Narrowing the window by what would hang over the edge would
        // narrow it again at every show.
        result.frame = QRectF(std::min(anchorX - (cw - kArrowEdgeMargin), maxX - cw), c.y(), cw, c.height());
    } else {
        result.frame = c;
    }
    return result;
}

QRectF standardFrame(const std::optional<QRectF>& statusButton, const QRectF& current) {
    constexpr double kWidth = 860, kHeight = 480;
    if (statusButton)
        return QRectF(statusButton->center().x() - kWidth / 2, minY(*statusButton) - kGapUnderIcon - kHeight,
                      kWidth, kHeight);
    return QRectF(current.center().x() - kWidth / 2, maxY(current) - kHeight, kWidth, kHeight);
}

} // namespace placement
