#include "app/sidepanel/GitPanelLayout.h"

#include <algorithm>

namespace gitlayout {

QList<double> columnHeights(const QList<double>& preferred, double room) {
    double sum = 0;
    for (double h : preferred) sum += h;
    const double scale = sum > 0 ? room / sum : 1.0;
    QList<double> heights;
    double raisedSum = 0;
    for (double h : preferred) {
        heights << std::max(h * scale, kMinPanelHeight);
        raisedSum += heights.back();
    }
    if (raisedSum > 0)
        for (double& h : heights) h *= room / raisedSum;
    return heights;
}

double draggedRatio(GitPanelPosition position, double ratio, double delta, double extent) {
    if (extent <= 0) return ratio;
    // A vertical divider moving right narrows a panel on the right; a horizontal one moving up
    // heightens a panel at the bottom.
    const double r = position == GitPanelPosition::right ? ratio - delta / extent : ratio + delta / extent;
    return std::clamp(r, kMinRatio, kMaxRatio);
}

Output layout(const Input& in) {
    Output out;
    const QRectF& f = in.frame;
    out.position = in.position;
    out.ratio = in.ratio;
    const auto isOpen = [&](const QString& id) { return in.isOpen && in.isOpen(id); };
    const bool othersOpen = isOpen(QStringLiteral("picker")) || isOpen(QStringLiteral("ssh"));
    if (out.position == GitPanelPosition::bottom && in.hasPanel && othersOpen) {
        out.movedToRight = true;
        out.position = GitPanelPosition::right;
        out.ratio = in.ratioV;
    }
    const bool gitInColumn = out.position == GitPanelPosition::right && in.hasPanel;
    for (const QString& id : in.order) {
        if ((id == QLatin1String("git") && gitInColumn) ||
            ((id == QLatin1String("picker") || id == QLatin1String("ssh")) && isOpen(id)))
            out.column << id;
    }
    const qsizetype n = out.column.size();

    const double columnWidth = gitInColumn ? out.ratio * f.width() : n == 0 ? 0.0 : in.ratioV * f.width();
    const double terminalWidth = f.width() - (n != 0 ? columnWidth + kGap : 0.0);
    const bool bottom = out.position == GitPanelPosition::bottom && in.hasPanel;
    const double panelHeight = bottom ? out.ratio * f.height() : 0.0;
    const double gap = bottom ? kGap : 0.0;
    out.terminal = QRectF(f.x(), f.y() + panelHeight + gap, terminalWidth, f.height() - panelHeight - gap);
    if (bottom) {
        out.gitDivider = QRectF(f.x(), f.y() + panelHeight - kDividerLead, terminalWidth, kDividerThickness);
        out.gitDividerVertical = false;
        out.bottomPanel = QRectF(f.x(), f.y(), terminalWidth, panelHeight);
    }
    if (n == 0) return out;

    const double x = f.x() + terminalWidth;
    const QRectF edge(x - kDividerLead, f.y(), kDividerThickness, f.height());
    if (gitInColumn) {
        out.gitDivider = edge;
        out.gitDividerVertical = true;
    } else {
        out.columnDivider = edge;
    }

    QList<double> preferred;
    for (const QString& id : out.column) {
        const double h = in.preferredHeight ? in.preferredHeight(id) : 0.0;
        preferred << (h > 0 ? h : kDefaultPanelHeight);
    }
    const QList<double> heights = columnHeights(preferred, f.height() - kGap * static_cast<double>(n - 1));
    double y = f.y() + f.height();
    for (qsizetype i = 0; i < n; ++i) {
        y -= heights[i];
        out.columnPanels << QRectF(x + kGap, y, columnWidth, heights[i]);
        if (i + 1 < n) {
            y -= kGap;
            out.columnDividers << QRectF(x + kGap, y - kDividerLead, columnWidth, kDividerThickness);
        }
    }
    return out;
}

} // namespace gitlayout
