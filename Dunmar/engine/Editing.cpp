// Erasing, inserting and deleting, the alternate screen and the full reset. Erased and inserted
// cells are always the blank cell, never the current rendition; protected cells survive erases.
#include "engine/Terminal.h"

#include <algorithm>

void Terminal::eraseCell(std::int64_t row, std::int64_t col) {
    if (row < 0 || row >= rows_ || col < 0 || col >= cols_) return;
    Cell& cell = rowAt(row)[std::size_t(col)];
    if (!renditions_.isProtected(cell)) cell = Cell{};
}

void Terminal::eraseCellsInRow(std::int64_t row, std::int64_t from, std::int64_t to) {
    if (row < 0 || row >= rows_ || from > to) return;
    from = std::max<std::int64_t>(from, 0);
    to = std::min(to, cols_ - 1);
    splitWideAt(rowAt(row), from);
    splitWideAt(rowAt(row), to + 1);
    if (!renditions_.mayHaveProtected()) {
        Row& r = rowAt(row);
        fillBlank(r.data() + from, r.data() + to + 1);
        return;
    }
    for (std::int64_t c = from; c <= to; ++c) eraseCell(row, c);
}

void Terminal::eraseFullRow(std::int64_t row) {
    if (row < 0 || row >= rows_) return;
    eraseCellsInRow(row, 0, cols_ - 1);
}

bool Terminal::gridHasProtected() const {
    if (!renditions_.mayHaveProtected()) return false;
    bool found = false;
    grid_.forEachRow([&](const Row& r) {
        found = found ||
                std::any_of(r.begin(), r.end(), [&](const Cell& c) { return renditions_.isProtected(c); });
    });
    return found;
}

// A row that an erase of the display clears from end to end goes back to single width and height,
// as on DEC terminals: programs clear the screen and expect full-width rows afterwards, and a
// blank row left double width would wrap their text at half the screen. Rows erased only in
// part, and the rest of the line attribute, stay as they are.
void Terminal::eraseWholeRowsOfDisplay(std::int64_t from, std::int64_t to) {
    for (std::int64_t r = from; r < to; ++r) {
        eraseFullRow(r);
        grid_.attr(r) &= std::uint8_t(~LineAttr::sizeMask);
    }
}

void Terminal::eraseDisplay(std::int64_t mode) {
    if (cursor_.y < 0 || cursor_.y >= rows_) return;
    switch (mode) {
    case 0:
        eraseCellsInRow(cursor_.y, cursor_.x, cols_ - 1);
        eraseWholeRowsOfDisplay(cursor_.y + 1, rows_);
        break;
    case 1:
        eraseWholeRowsOfDisplay(0, cursor_.y);
        eraseCellsInRow(cursor_.y, 0, std::min(cursor_.x, cols_ - 1));
        break;
    case 3:
        scrollback_.clear();
        [[fallthrough]];
    case 2:
        if (!gridHasProtected()) {
            grid_.forEachRow([](Row& r) { fillBlank(r.data(), r.data() + r.size()); });
            for (std::int64_t r = 0; r < rows_; ++r) grid_.attr(r) &= std::uint8_t(~LineAttr::sizeMask);
        } else {
            eraseWholeRowsOfDisplay(0, rows_);
        }
        break;
    default:
        break;
    }
}

void Terminal::eraseLine(std::int64_t mode) {
    if (cursor_.y < 0 || cursor_.y >= rows_) return;
    switch (mode) {
    case 0:
        eraseCellsInRow(cursor_.y, cursor_.x, cols_ - 1);
        break;
    case 1:
        eraseCellsInRow(cursor_.y, 0, std::min(cursor_.x, cols_ - 1));
        break;
    case 2:
        eraseFullRow(cursor_.y);
        grid_.attr(cursor_.y) &= std::uint8_t(~LineAttr::softWrapped);
        break;
    default:
        break;
    }
}

void Terminal::eraseChars(std::int64_t n) {
    if (cursor_.y < 0 || cursor_.y >= rows_ || n <= 0) return;
    n = std::min(n, cols_ - cursor_.x);
    eraseCellsInRow(cursor_.y, cursor_.x, cursor_.x + n - 1);
}

// Lines inserted and deleted stay inside the scroll region; a count larger than the rows from the
// cursor to the region's bottom blanks them all, so it is cut to that.
void Terminal::insertLines(std::int64_t n) {
    if (n <= 0 || cursor_.y < scrollTop_ || cursor_.y > scrollBottom_ || scrollBottom_ >= rows_) return;
    const std::int64_t k = std::min(n, scrollBottom_ - cursor_.y + 1);
    grid_.rotate(cursor_.y, scrollBottom_ + 1 - k, scrollBottom_ + 1);
    for (std::int64_t y = cursor_.y; y < cursor_.y + k; ++y) blankRowAt(y);
}

void Terminal::deleteLines(std::int64_t n) {
    if (n <= 0 || cursor_.y < scrollTop_ || cursor_.y > scrollBottom_ || scrollBottom_ >= rows_ ||
        cursor_.y >= rows_) {
        return;
    }
    const std::int64_t k = std::min(n, scrollBottom_ - cursor_.y + 1);
    grid_.rotate(cursor_.y, cursor_.y + k, scrollBottom_ + 1);
    for (std::int64_t y = scrollBottom_ + 1 - k; y <= scrollBottom_; ++y) blankRowAt(y);
}

// Characters move between the cursor and the right margin (the last column without margins);
// cells right of it never move. A count beyond that span blanks it all, so it is cut to it.
void Terminal::insertChars(std::int64_t n) {
    if (n <= 0 || cursor_.y < 0 || cursor_.y >= rows_) return;
    const std::int64_t right = modes_[Mode::leftRightMargins] ? std::min(rightMargin_, cols_ - 1) : cols_ - 1;
    if (cursor_.x < 0 || cursor_.x > right) return;
    const std::int64_t k = std::min(n, right - cursor_.x + 1);
    Row& row = rowAt(cursor_.y);
    splitWideAt(row, cursor_.x);
    splitWideAt(row, right + 1 - k); // the cells from here on are pushed out
    splitWideAt(row, right + 1);
    auto first = row.begin() + cursor_.x;
    auto end = row.begin() + right + 1;
    std::move_backward(first, end - k, end);
    std::fill(first, first + k, Cell{});
}

void Terminal::deleteChars(std::int64_t n) {
    if (n <= 0 || cursor_.y < 0 || cursor_.y >= rows_) return;
    const std::int64_t right = modes_[Mode::leftRightMargins] ? std::min(rightMargin_, cols_ - 1) : cols_ - 1;
    if (cursor_.x < 0 || cursor_.x > right) return;
    const std::int64_t k = std::min(n, right - cursor_.x + 1);
    Row& row = rowAt(cursor_.y);
    splitWideAt(row, cursor_.x);
    splitWideAt(row, cursor_.x + k); // the cells before here are deleted
    splitWideAt(row, right + 1);
    auto first = row.begin() + cursor_.x;
    auto end = row.begin() + right + 1;
    std::move(first + k, end, first);
    std::fill(end - k, end, Cell{});
}

void Terminal::enterAltScreen() {
    altGrid_ = std::move(grid_);
    altCursor_ = cursor_;
    altActive_ = true;
    resetGrid();
    cursor_ = CursorState{};
    scrollTop_ = 0;
    scrollBottom_ = rows_ - 1;
}

void Terminal::leaveAltScreen() {
    if (!altActive_) return;
    grid_ = std::move(altGrid_);
    altGrid_.clear();
    altActive_ = false;
    scrollTop_ = 0;
    scrollBottom_ = rows_ - 1;
}

// What both resets put back: the pen and its link, the scroll region and margins, the cursor
// style and the character sets.
void Terminal::resetPenRegionAndCharsets() {
    setAttrs(TextAttrs());
    setCurrentHyperlink(std::nullopt);
    scrollTop_ = 0;
    scrollBottom_ = rows_ - 1;
    leftMargin_ = 0;
    rightMargin_ = cols_ - 1;
    cursorStyle_ = 0;
    charsetG0IsGraphics_ = false;
    charsetG1IsGraphics_ = false;
    useG1_ = false;
}

void Terminal::fullReset() {
    cursor_ = CursorState{};
    modes_.resetAll();
    resetPenRegionAndCharsets();
    paletteOverrides_.fill(std::nullopt);
    dynamicFG_.reset();
    dynamicBG_.reset();
    dynamicCursor_.reset();
    kittyKbdStack_.clear();
    sixelImages_.clear();
    altGrid_.clear();
    altActive_ = false;
    resetGrid();
    resetTabStops();
}
