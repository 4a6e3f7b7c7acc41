#include "palette/BadgeLayout.h"

#include <QHash>
#include <array>

namespace badgelayout {

std::vector<std::vector<int>> packRows(const std::vector<int>& widths) {
    std::vector<std::vector<int>> rows;
    int rowWidth = 0;
    for (int i = 0; i < int(widths.size()); ++i) {
        const int w = widths[std::size_t(i)];
        if (rows.empty() || (!rows.back().empty() && rowWidth + w + kGap > kRowWidth)) {
            if (int(rows.size()) == kMaxRows) break;
            rows.emplace_back();
            rowWidth = 0;
        }
        rowWidth += rows.back().empty() ? w : w + kGap;
        rows.back().push_back(i);
    }
    return rows;
}

double rowStart(const std::vector<int>& rowWidths, int containerWidth) {
    int sum = 0;
    for (int w : rowWidths) sum += w;
    if (!rowWidths.empty()) sum += kGap * (int(rowWidths.size()) - 1);
    return (containerWidth - sum) / 2.0;
}

int badgeColorIndex(const QString& title) {
    return int((qHash(title) & 0x7FFFFFFFu) % 8u);
}

QColor badgeColor(const QString& title) {
    static constexpr std::array<std::array<float, 3>, 8> kColors{{
        {0.45f, 0.55f, 0.85f},
        {0.5f, 0.75f, 0.5f},
        {0.8f, 0.55f, 0.4f},
        {0.7f, 0.45f, 0.7f},
        {0.45f, 0.7f, 0.7f},
        {0.75f, 0.65f, 0.4f},
        {0.55f, 0.45f, 0.75f},
        {0.65f, 0.5f, 0.5f},
    }};
    const auto& c = kColors[std::size_t(badgeColorIndex(title))];
    return QColor::fromRgbF(c[0], c[1], c[2], 0.2f);
}

} // namespace badgelayout
