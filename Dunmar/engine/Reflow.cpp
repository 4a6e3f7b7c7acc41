// Resizing the grid. On the main screen the cursor's line stays visible (rows above it go to the
// scrollback, only as many as it takes) and a change of width re-flows the lines that put() joined
// by wrapping; the alternate screen and the main screen saved under it are only cut or filled.
#include "engine/Terminal.h"

#include <algorithm>

namespace {

// A row that holds nothing: blank cells and no line attribute.
bool isBlankRow(const Row& row, std::uint8_t attr) {
    return attr == 0 && std::all_of(row.begin(), row.end(), [](const Cell& c) { return c.isBlank(); });
}

struct LogicalLine {
    std::vector<Cell> cells;
    bool reflowable = false;
    std::int64_t cursorOffset = -1; // -1 when the cursor is not on this line
};

struct Reflowed {
    std::vector<Row> rows;
    std::vector<std::uint8_t> attrs;
    std::int64_t cursorX = 0;
    std::int64_t cursorY = 0;
};

std::vector<LogicalLine> joinWrappedRows(std::vector<Row>& grid, const std::vector<std::uint8_t>& attrs,
                                         std::int64_t oldCols, std::int64_t cx, std::int64_t cy) {
    const std::int64_t cxc = std::min(oldCols - 1, cx);
    const std::int64_t last =
        std::min<std::int64_t>(std::int64_t(grid.size()) - 1, std::int64_t(attrs.size()));
    auto append = [&](LogicalLine& line, const Row& row) {
        auto n = std::min<std::size_t>(std::size_t(oldCols), row.size());
        line.cells.insert(line.cells.end(), row.begin(), row.begin() + std::ptrdiff_t(n));
    };
    std::vector<LogicalLine> lines;
    for (std::int64_t i = 0; i < std::int64_t(grid.size()); ++i) {
        LogicalLine line;
        append(line, grid[std::size_t(i)]);
        if (i == cy) line.cursorOffset = cxc;
        line.reflowable = i < std::int64_t(attrs.size()) && (attrs[std::size_t(i)] & LineAttr::reflowedLast);
        while (i < last && (attrs[std::size_t(i)] & LineAttr::softWrapped)) {
            if (i + 1 == cy) line.cursorOffset = std::int64_t(line.cells.size()) + cxc;
            append(line, grid[std::size_t(i + 1)]);
            ++i;
            line.reflowable = true;
        }
        lines.push_back(std::move(line));
    }
    return lines;
}

Row padded(const std::vector<Cell>& cells, std::size_t from, std::size_t to, std::int64_t cols) {
    Row row(std::size_t(cols), Cell{});
    std::copy(cells.begin() + std::ptrdiff_t(from),
              cells.begin() + std::ptrdiff_t(std::min(to, from + row.size())), row.begin());
    return row;
}

void layOut(const LogicalLine& line, std::int64_t cols, Reflowed& out) {
    const bool holdsCursor = line.cursorOffset >= 0;
    if (!line.reflowable) {
        if (holdsCursor) {
            out.cursorX = std::min(line.cursorOffset, cols - 1);
            out.cursorY = std::int64_t(out.rows.size());
        }
        out.rows.push_back(padded(line.cells, 0, line.cells.size(), cols));
        out.attrs.push_back(0);
        return;
    }
    std::int64_t len = std::int64_t(line.cells.size());
    while (len > 0 && line.cells[std::size_t(len - 1)].isBlank()) --len;
    // Never trim the cell under the cursor or any before it: the cursor would otherwise step back
    // onto the last character and the next one typed would overwrite it.
    if (holdsCursor) len = std::max(len, std::min<std::int64_t>(line.cursorOffset + 1, line.cells.size()));
    if (len == 0) {
        if (holdsCursor) {
            out.cursorX = 0;
            out.cursorY = std::int64_t(out.rows.size());
        }
        out.rows.emplace_back(std::size_t(cols), Cell{});
        out.attrs.push_back(0);
        return;
    }
    const std::int64_t offset = holdsCursor ? std::min(line.cursorOffset, len - 1) : -1;
    std::int64_t s = 0;
    while (s < len) {
        std::int64_t e = std::min(s + cols, len);
        // A wide character that would straddle the edge starts the next piece whole.
        if (s + cols < len && line.cells[std::size_t(e - 1)].width == 2) e -= 1;
        Row row;
        if (e > s) {
            row = padded(line.cells, std::size_t(s), std::size_t(e), cols);
        } else {
            // One column and a wide character first: it cannot move on whole, so it takes the
            // column alone as a narrow cell and its right half is dropped. Every piece consumes
            // at least one cell, so the line ends in finitely many rows.
            row.assign(std::size_t(cols), Cell{});
            row[0] = line.cells[std::size_t(s)];
            row[0].width = 1;
            e = s + 1;
            if (e < len && line.cells[std::size_t(e)].width == 0) ++e;
        }
        if (holdsCursor && s <= offset && offset < std::max(s + cols, e)) {
            out.cursorX = std::min(offset - s, cols - 1);
            out.cursorY = std::int64_t(out.rows.size());
        }
        out.rows.push_back(std::move(row));
        out.attrs.push_back(e < len ? LineAttr::softWrapped : LineAttr::reflowedLast);
        s = e;
    }
}

// Cuts or fills every row to `cols` cells and the list to `rows` rows.
void fitRows(std::vector<Row>& grid, std::vector<std::uint8_t>& attrs, std::size_t keep, std::int64_t cols,
             std::int64_t rows) {
    keep = std::min({keep, grid.size(), std::size_t(rows)});
    grid.resize(keep);
    for (Row& r : grid) r.resize(std::size_t(cols), Cell{});
    grid.resize(std::size_t(rows), Row(std::size_t(cols), Cell{}));
    attrs.resize(std::min(attrs.size(), keep));
    attrs.resize(std::size_t(rows), 0);
}

} // namespace

void Terminal::resize(std::int64_t newCols, std::int64_t newRows) {
    if (newCols < 1 || newRows < 1) return;
    const std::int64_t C = std::min(newCols, kMaxCols);
    const std::int64_t R = std::min(newRows, kMaxRows);
    if (C == cols_ && R == rows_) return;

    std::vector<Row> grid;
    std::vector<std::uint8_t> attrs;
    grid_.release(grid, attrs);
    std::int64_t h = rows_;
    std::int64_t cx = cursor_.x;
    std::int64_t cy = cursor_.y;

    if (!altActive_ && R < rows_) {
        // Rows leave at the top only as far as the cursor's row, and the text under it, need to
        // stay inside the new height; blank rows at the bottom give way first. Otherwise a panel
        // opening under the terminal would push the output above a prompt out of sight.
        std::int64_t bottom = cy;
        for (std::int64_t r = std::int64_t(grid.size()) - 1; r > cy; --r) {
            const std::uint8_t attr = std::size_t(r) < attrs.size() ? attrs[std::size_t(r)] : 0;
            if (!isBlankRow(grid[std::size_t(r)], attr)) {
                bottom = r;
                break;
            }
        }
        const std::int64_t k = std::min(cy, std::max<std::int64_t>(0, bottom + 1 - R));
        if (k >= 1) {
            for (std::int64_t i = 0; i < k; ++i) pushToScrollback(std::move(grid[std::size_t(i)]));
            grid.erase(grid.begin(), grid.begin() + k);
            attrs.erase(attrs.begin(), attrs.begin() + std::min<std::int64_t>(k, std::int64_t(attrs.size())));
            h -= k;
            cy -= k;
        }
    }

    if (!altActive_ && C != cols_ && h >= 1 && !grid.empty()) {
        Reflowed out;
        for (const LogicalLine& line : joinWrappedRows(grid, attrs, cols_, cx, cy)) layOut(line, C, out);
        // Rows that no longer fit leave at the top. Blank rows below the cursor hold nothing, so
        // they make room first: otherwise narrowing a window with empty space under the prompt
        // would push the text above it out of sight.
        while (std::int64_t(out.rows.size()) > R && std::int64_t(out.rows.size()) - 1 > out.cursorY &&
               isBlankRow(out.rows.back(), out.attrs.back())) {
            out.rows.pop_back();
            out.attrs.pop_back();
        }
        const std::int64_t count = std::int64_t(out.rows.size());
        if (count > R) {
            const std::int64_t excess = count - R;
            for (std::int64_t i = 0; i < excess; ++i) pushToScrollback(std::move(out.rows[std::size_t(i)]));
            out.rows.erase(out.rows.begin(), out.rows.begin() + excess);
            out.attrs.erase(out.attrs.begin(), out.attrs.begin() + excess);
            out.cursorY = std::max<std::int64_t>(0, out.cursorY - excess);
            h = R;
        } else {
            h = count;
        }
        grid = std::move(out.rows);
        attrs = std::move(out.attrs);
        cx = out.cursorX;
        cy = out.cursorY;
    }

    fitRows(grid, attrs, std::size_t(std::max<std::int64_t>(h, 0)), C, R);
    grid_ = Grid(std::move(grid), std::move(attrs));
    if (altActive_) {
        std::vector<Row> mainRows;
        std::vector<std::uint8_t> mainAttrs;
        altGrid_.release(mainRows, mainAttrs);
        fitRows(mainRows, mainAttrs, mainRows.size(), C, R);
        altGrid_ = Grid(std::move(mainRows), std::move(mainAttrs));
    }

    const std::int64_t oldCols = cols_;
    cols_ = C;
    rows_ = R;
    scrollTop_ = 0;
    scrollBottom_ = R - 1;
    leftMargin_ = 0;
    rightMargin_ = C - 1;
    cursor_.x = std::clamp<std::int64_t>(cx, 0, C - 1);
    cursor_.y = std::clamp<std::int64_t>(cy, 0, R - 1);
    cursor_.pendingWrap = false;

    // Stops beyond the new width go; new columns get a stop every 8 after the last one kept.
    tabStops_.resize(std::size_t(C), 0);
    std::int64_t lastStop = -1;
    for (std::int64_t x = std::min(oldCols, C) - 1; x >= 0; --x) {
        if (tabStops_[std::size_t(x)]) {
            lastStop = x;
            break;
        }
    }
    for (std::int64_t t = lastStop >= 0 ? (lastStop / 8 + 1) * 8 : 8; t < C; t += 8)
        tabStops_[std::size_t(t)] = 1;
}
