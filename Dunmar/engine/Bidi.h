#pragma once

#include "engine/Cell.h"
#include "engine/Clusters.h"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

// The order in which the columns of a row holding right-to-left text are shown, left to right:
// one entry per display column, so a wide character's column appears twice and continuation
// columns never. Absent when the row needs no reordering (no right-to-left letter in its first
// `cols` cells, the common case, found by one scan). The grid itself stays in logical order. A
// cell holding a cluster counts by its base, looked up in `clusters` (as a blank without it).
std::optional<std::vector<std::int64_t>> bidiVisualOrder(std::span<const Cell> row, std::int64_t cols,
                                                         const ClusterTable* clusters = nullptr);
