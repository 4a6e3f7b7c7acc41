#pragma once

#include <QColor>
#include <QString>
#include <vector>

// How the palette packs its badges: rows of at most the palette's width, at most four rows, and a
// colour per title that stays the same for the life of the process.
namespace badgelayout {

constexpr int kRowWidth = 260;
constexpr int kMaxRows = 4;
constexpr int kMaxCandidates = 20;
constexpr int kGap = 5;
constexpr int kBadgeHeight = 20;
constexpr int kRowPitch = 24; // badge height plus the 4 pt between rows

// The badges (by index into `widths`) of each row, in order. Packing stops when a fifth row
// would be needed: the remaining badges are not shown.
std::vector<std::vector<int>> packRows(const std::vector<int>& widths);

// The left edge of a row's first badge, centred in `containerWidth`.
double rowStart(const std::vector<int>& rowWidths, int containerWidth);

// The badge colour of a title (alpha 0.2), one of eight.
QColor badgeColor(const QString& title);
int badgeColorIndex(const QString& title);

} // namespace badgelayout
