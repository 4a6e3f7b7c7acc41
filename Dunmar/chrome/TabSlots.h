#pragma once

#include <QList>
#include <algorithm>
#include <cmath>

// The arithmetic of dragging a tab along the strip: tabs sit at x = pitch × slot.
namespace tabslots {

// Where the dragged tab is drawn: its start plus the pointer's travel, kept on the strip.
inline double clampedX(double originX, double deltaX, double pitch, int count) {
    double x = std::min(originX + deltaX, pitch * (count - 1));
    return std::max(x, 0.0);
}

// The slot whose span holds the dragged tab's middle.
inline int slotFor(double x, double tabWidth, double pitch, int count) {
    int slot = static_cast<int>(std::trunc((tabWidth * 0.5 + x) / pitch));
    slot = std::min(slot, count - 1);
    return std::max(slot, 0);
}

// The on-screen order after the dragged tab moved from one slot to another.
inline QList<int> moved(QList<int> order, int fromSlot, int toSlot, int tabIndex) {
    if (fromSlot >= 0 && fromSlot < order.size()) order.removeAt(fromSlot);
    order.insert(std::clamp(toSlot, 0, static_cast<int>(order.size())), tabIndex);
    return order;
}

} // namespace tabslots
