#pragma once

#include <QMap>
#include <QString>
#include <QStringList>
#include <functional>

// The column of side panels at the right of the window ("git", "picker", "ssh"): which of them
// stand in it, their order, their heights and the column's width.
namespace sidepanels {

inline constexpr double kMinPanelHeight = 80;
inline constexpr double kDefaultPanelHeight = 260;
inline constexpr double kMinColumnShare = 0.15;
inline constexpr double kMaxColumnShare = 0.55;

// The ids of `order` whose panel is in the column, in that order (unknown ids are ignored).
QStringList visiblePanels(const QStringList& order, const std::function<bool(const QString&)>& isShown);

// Swaps `id` with its visible neighbour in `direction` (-1 up, 1 down) inside `order`; the ids of
// hidden panels keep their places. False, and no change, when `id` is not shown or has no
// neighbour that way.
bool movePanel(QStringList& order, const QStringList& visible, const QString& id, int direction);

// Moves the boundary between two stacked panels by `delta` (downward drags are negative): the
// pair's total stays, neither goes below 80. Missing heights count as 260.
void shareHeights(QMap<QString, double>& heights, const QString& topId, const QString& bottomId,
                  double delta);

// The column's share of the terminal area after its divider moved by `delta` over a width of
// `width`, kept between 0.15 and 0.55.
double columnShare(double share, double delta, double width);

struct MoveButtons {
    bool up = false;
    bool down = false;
    bool operator==(const MoveButtons&) const = default;
};
// The move buttons of the panel at `position` among `count` visible ones.
MoveButtons moveButtons(int position, int count);

} // namespace sidepanels
