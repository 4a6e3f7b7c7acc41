#include "engine/Terminal.h"

#include <algorithm>
#include <array>

namespace {

std::int64_t clampSize(std::int64_t v, std::int64_t max) {
    return std::clamp<std::int64_t>(v, 1, max);
}

} // namespace

Terminal::Terminal(std::int64_t cols, std::int64_t rows)
    : cols_(clampSize(cols, kMaxCols)), rows_(clampSize(rows, kMaxRows)), scrollback_(kScrollbackLimit) {
    scrollBottom_ = rows_ - 1;
    rightMargin_ = cols_ - 1;
    resetGrid();
    resetTabStops();
}

void Terminal::resetGrid() {
    grid_ = Grid(cols_, rows_);
}

void Terminal::process(std::string_view bytes) {
    process(std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
}

namespace {

// A row's worth of blank cells to copy from.
const std::array<Cell, Terminal::kMaxCols>& blankCells() {
    static const std::array<Cell, Terminal::kMaxCols> blank = [] {
        std::array<Cell, Terminal::kMaxCols> cells;
        cells.fill(Cell{});
        return cells;
    }();
    return blank;
}

} // namespace

void fillBlank(Cell* first, Cell* last) {
    const Cell* blank = blankCells().data();
    while (first < last) {
        const auto n = std::min<std::ptrdiff_t>(last - first, Terminal::kMaxCols);
        std::copy(blank, blank + n, first);
        first += n;
    }
}

void Terminal::blankRowAt(std::int64_t y) {
    const Cell* blank = blankCells().data();
    grid_.row(y).assign(blank, blank + cols_); // keeps the row's storage
    grid_.attr(y) = 0;
}

std::size_t Terminal::memoryFootprint() const {
    return grid_.memoryFootprint() + altGrid_.memoryFootprint() + scrollback_.memoryFootprint() +
           renditions_.memoryFootprint() + clusters_.memoryFootprint() + tabStops_.capacity();
}

std::span<const Cell> Terminal::gridRow(std::int64_t y) const {
    if (y < 0 || y >= rows_) return {};
    return grid_.row(y);
}

std::uint8_t Terminal::lineAttr(std::int64_t y) const {
    return y >= 0 && y < rows_ ? grid_.attr(y) : 0;
}

void Terminal::setAttrs(const TextAttrs& attrs) {
    attrs_ = attrs;
    penStale_ = kPenColours | kPenStyle;
}

void Terminal::resolvePen() {
    if (renditions_.needsCompaction()) compactInterned();
    pen_ =
        (penStale_ & kPenStyle) ? renditions_.encode(attrs_, penLinkId_) : renditions_.recolour(pen_, attrs_);
    penStale_ = 0;
}

void Terminal::setCurrentHyperlink(std::optional<std::string> uri) {
    if (uri && uri->empty()) uri.reset();
    currentHyperlink_ = std::move(uri);
    penStale_ |= kPenStyle;
    if (!currentHyperlink_) {
        penLinkId_ = 0;
        return;
    }
    if (renditions_.needsCompaction()) compactInterned();
    penLinkId_ = renditions_.internLink(*currentHyperlink_);
}

// Drops the styles, colours and links that no cell refers to any more. Walks every cell once to
// find the ones in use; the tables call for it only after they have doubled since the last time.
// No cell is rewritten: styles and colours keep their ids, and links are renumbered inside the
// style table.
void Terminal::compactInterned() {
    Renditions::LiveIds live = renditions_.startCompaction();
    auto mark = [&](std::span<const Cell> row) { live.markLive(row); };
    grid_.forEachRow(mark);
    altGrid_.forEachRow(mark);
    for (std::size_t i = 0; i < scrollback_.size(); ++i) mark(scrollback_.line(i));
    const Cell pen = pen_.cell(U' ');
    mark(std::span<const Cell>(&pen, 1));
    penLinkId_ = renditions_.compact(live, penLinkId_);
    penStale_ = kPenColours | kPenStyle;
}

// Drops the clusters no cell names any more; the codes in use stay as they are.
void Terminal::compactClusters() {
    clusters_.startCompaction();
    auto mark = [&](std::span<const Cell> row) { clusters_.markLive(row); };
    grid_.forEachRow(mark);
    altGrid_.forEachRow(mark);
    for (std::size_t i = 0; i < scrollback_.size(); ++i) mark(scrollback_.line(i));
    clusters_.compact();
}

// ---- Cursor ------------------------------------------------------------------------------------

// A saved cursor may come from a larger screen: it is put back inside the grid, as xterm does,
// so output after the restore stays visible.
void Terminal::restoreCursor(const CursorState& saved) {
    cursor_ = saved;
    clampCursor();
}

void Terminal::clampCursor() {
    cursor_.x = std::clamp<std::int64_t>(cursor_.x, 0, cols_ - 1);
    cursor_.y = std::clamp<std::int64_t>(cursor_.y, 0, rows_ - 1);
}

// ---- Tab stops ---------------------------------------------------------------------------------

void Terminal::resetTabStops() {
    tabStops_.assign(std::size_t(cols_), 0);
    for (std::int64_t x = 0; x < cols_; x += 8) tabStops_[std::size_t(x)] = 1;
}

bool Terminal::hasTabStop(std::int64_t x) const {
    return x >= 0 && x < std::int64_t(tabStops_.size()) && tabStops_[std::size_t(x)];
}

std::vector<std::int64_t> Terminal::tabStops() const {
    std::vector<std::int64_t> stops;
    for (std::size_t x = 0; x < tabStops_.size(); ++x) {
        if (tabStops_[x]) stops.push_back(std::int64_t(x));
    }
    return stops;
}

void Terminal::advanceToNextTab() {
    cursor_.pendingWrap = false;
    // A double-width or double-height row ends at half the screen: a tab stops at its last usable
    // column, where the next character is still written and shown, and never moves the cursor left.
    const std::int64_t last = effectiveCols(cursor_.y) - 1;
    if (cursor_.x >= last) return;
    std::int64_t x = cursor_.x + 1;
    while (x < last && !tabStops_[std::size_t(x)]) ++x;
    cursor_.x = x;
}

void Terminal::backToPrevTab() {
    std::int64_t x = std::min(cursor_.x, cols_) - 1;
    while (x > 0 && !tabStops_[std::size_t(x)]) --x;
    cursor_.x = std::max<std::int64_t>(x, 0);
}
