#include "app/sidepanel/SidePanelStack.h"

#include <algorithm>

namespace sidepanels {

QStringList visiblePanels(const QStringList& order, const std::function<bool(const QString&)>& isShown) {
    QStringList visible;
    for (const QString& id : order)
        if (isShown(id)) visible << id;
    return visible;
}

bool movePanel(QStringList& order, const QStringList& visible, const QString& id, int direction) {
    const int position = static_cast<int>(visible.indexOf(id));
    if (position < 0) return false;
    const int target = position + direction;
    if (target < 0 || target >= visible.size()) return false;
    const qsizetype a = order.indexOf(id);
    const qsizetype b = order.indexOf(visible[target]);
    if (a < 0 || b < 0) return false;
    order.swapItemsAt(a, b);
    return true;
}

void shareHeights(QMap<QString, double>& heights, const QString& topId, const QString& bottomId,
                  double delta) {
    const double top = heights.value(topId, kDefaultPanelHeight);
    const double bottom = heights.value(bottomId, kDefaultPanelHeight);
    const double newTop = std::max(kMinPanelHeight, std::min(top - delta, top + bottom - kMinPanelHeight));
    heights[topId] = newTop;
    heights[bottomId] = top + bottom - newTop;
}

double columnShare(double share, double delta, double width) {
    if (width <= 0) return share;
    return std::max(kMinColumnShare, std::min(share - delta / width, kMaxColumnShare));
}

MoveButtons moveButtons(int position, int count) {
    return MoveButtons{position > 0, position < count - 1};
}

} // namespace sidepanels
