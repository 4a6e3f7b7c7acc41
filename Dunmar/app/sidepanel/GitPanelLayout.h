#pragma once

#include "app/tabs/TabTypes.h"

#include <QList>
#include <QRectF>
#include <QStringList>
#include <functional>
#include <optional>

// Where the active tab's terminal, its git panel with its divider, and the column of side panels
// go. Everything here is measured from the bottom left of the content view, y growing upwards; the
// caller converts the result to widget geometry once.
namespace gitlayout {

inline constexpr double kGap = 2.0; // between the terminal and a panel
inline constexpr double kDividerThickness = 12.0;
inline constexpr double kDividerLead = 5.0; // a divider starts this far before its seam
inline constexpr double kDefaultPanelHeight = 260.0;
inline constexpr double kMinPanelHeight = 60.0;
inline constexpr double kMinRatio = 0.15;
inline constexpr double kMaxRatio = 0.65;
inline constexpr double kDefaultRatio = 0.3;
inline constexpr double kDefaultRatioV = 0.35;

// The heights of stacked panels that fill `room`: their preferred heights scaled to fit, those
// below 60 raised to 60, and all scaled once more so that they fill the room exactly.
QList<double> columnHeights(const QList<double>& preferred, double room);

// The git panel's share after its divider moved by `delta` over a content of `extent` (its width
// at the right, its height at the bottom), kept between 0.15 and 0.65.
double draggedRatio(GitPanelPosition position, double ratio, double delta, double extent);

struct Input {
    QRectF frame; // the terminal area, panels included
    GitPanelPosition position = GitPanelPosition::none;
    bool hasPanel = false;
    double ratio = kDefaultRatio;   // the git panel's share in force
    double ratioV = kDefaultRatioV; // the share remembered for the right, also the column's width
    QStringList order;              // the side panels' order, top first
    std::function<bool(const QString& id)> isOpen;            // "picker" and "ssh"
    std::function<double(const QString& id)> preferredHeight; // none: 260
};

struct Output {
    // A bottom panel cannot share the window with the column: it moved to the right.
    bool movedToRight = false;
    GitPanelPosition position = GitPanelPosition::none;
    double ratio = kDefaultRatio;
    QRectF terminal;
    std::optional<QRectF> bottomPanel;
    std::optional<QRectF> gitDivider; // beside the git panel, at the bottom or on the right
    bool gitDividerVertical = false;
    std::optional<QRectF> columnDivider; // the column's left edge when the git panel is not in it
    QStringList column;                  // the ids in the column, top first
    QList<QRectF> columnPanels;
    QList<QRectF> columnDividers; // between each entry and the next
};

Output layout(const Input& in);

} // namespace gitlayout
