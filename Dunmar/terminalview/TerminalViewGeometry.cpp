// Size, fonts, the mapping between points and buffer positions, and what the pane shows as text.
#include "engine/Bidi.h"
#include "terminalview/ProgramResizeGate.h"
#include "terminalview/ScrollMath.h"
#include "terminalview/TerminalView.h"

#include <QGuiApplication>
#include <QResizeEvent>
#include <QScreen>
#include <algorithm>
#include <cmath>

namespace {
bool isBlankChar(char32_t ch) {
    return ch == U' ' || ch == 0;
}

// A cell's character with the marks it carries; a blank for the empty character.
QString stringOf(const Terminal& terminal, const Cell& cell) {
    if (cell.ch == 0) return QStringLiteral(" ");
    char32_t one = 0;
    const std::u32string_view text = terminal.textOf(cell, one);
    return QString::fromUcs4(text.data(), qsizetype(text.size()));
}

// Removes trailing white space (blanks, tabs and the other Unicode spaces).
void trimEnd(QString& line) {
    qsizetype end = line.size();
    while (end > 0 && line.at(end - 1).isSpace()) --end;
    line.truncate(end);
}

// Joins lines with line feeds after dropping empty lines at the end.
QString joinTrimmedLines(QStringList lines) {
    for (QString& line : lines) trimEnd(line);
    while (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    return lines.join(QLatin1Char('\n'));
}
} // namespace

// ---- Grid size ---------------------------------------------------------------------------------

std::pair<std::int64_t, std::int64_t> TerminalView::gridSizeFor(QSizeF size) const {
    const auto fit = [](double room, double cell, std::int64_t limit) {
        const double n = std::floor(room / std::max(cell, 1.0));
        return std::clamp<std::int64_t>(n >= 1 ? std::int64_t(std::min(n, 1e9)) : 1, 1, limit);
    };
    return {fit(size.width() - 2 * paddingX, fonts_.cellW, Terminal::kMaxCols),
            fit(size.height() - 2 * paddingY, fonts_.cellH, Terminal::kMaxRows)};
}

void TerminalView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    resizeGrid(QSizeF(event->size()));
}

void TerminalView::resizeGrid(QSizeF size) {
    if (suppressResize_) return;
    const auto [cols, rows] = gridSizeFor(size);
    if (cols == terminal_->cols() && rows == terminal_->rows()) return;
    const Scrollback& scrollback = terminal_->scrollback();
    const std::uint64_t pushedBefore = scrollback.pushedTotal();
    const std::uint64_t droppedBefore = scrollback.droppedTotal();
    terminal_->resize(cols, rows);
    // Lines the re-flow pushed into the history keep the shown text in place.
    followScrollback(pushedBefore, droppedBefore);
    clearSelection();
    contentChanged();
    session_.setWindowSize(int(rows), int(cols), int(size.width()), int(size.height()));
}

void TerminalView::updateFontSize(double size) {
    settings_.pane.fontSize = size;
    applyFonts(makeTerminalFonts(size, settings_.pane.fontFamily));
}

void TerminalView::applyFonts(TerminalFonts fonts) {
    fonts_ = std::move(fonts);
    glyphs_.setFonts(fonts_);
    terminal_->setCellPixelSize(std::int64_t(fonts_.cellW), std::int64_t(fonts_.cellH));
    smoothScrollY_ = scrolling::clampOffset(smoothScrollY_, cellH(), terminal_->scrollback().size());
    resizeGrid(QSizeF(size()));
    update();
}

void TerminalView::requestGridSize(std::int64_t rows, std::int64_t cols) {
    if (!isVisible() || rows < 1 || cols < 1) return;
    rows = std::min(rows, Terminal::kMaxRows);
    cols = std::min(cols, Terminal::kMaxCols);
    QWidget* win = window();
    // The pane's own size decides the difference, so header, footer and side panels keep theirs.
    const int wantedWidth = int(std::ceil(cellW() * qreal(cols) + 2 * paddingX));
    const int wantedHeight = int(std::ceil(cellH() * qreal(rows) + 2 * paddingY));
    int width = win->width() + wantedWidth - this->width();
    int height = win->height() + wantedHeight - this->height();
    if (const QScreen* screen = win->screen()) {
        // The top-left corner stays; the window may grow only as far as the screen's free area.
        const QRect available = screen->availableGeometry();
        const QRect frame = win->geometry();
        width =
            std::min(width, std::max(1, available.right() + 1 - std::max(frame.left(), available.left())));
        height =
            std::min(height, std::max(1, available.bottom() + 1 - std::max(frame.top(), available.top())));
    }
    width = std::max({width, win->minimumWidth(), 1});
    height = std::max({height, win->minimumHeight(), 1});
    ProgramResizeGate::request(win, QSize(width, height), host_);
}

// ---- Buffer positions --------------------------------------------------------------------------

Cell TerminalView::cellForDisplay(std::int64_t bufferIndex, std::int64_t col,
                                  std::int64_t scrollbackCount) const {
    if (bufferIndex < 0 || col < 0) return Cell{};
    const Scrollback& scrollback = terminal_->scrollback();
    if (bufferIndex < scrollbackCount) {
        if (bufferIndex >= std::int64_t(scrollback.size())) return Cell{};
        const auto line = scrollback.line(std::size_t(bufferIndex));
        return col < std::int64_t(line.size()) ? line[std::size_t(col)] : Cell{};
    }
    const auto row = terminal_->gridRow(bufferIndex - scrollbackCount);
    return col < std::int64_t(row.size()) ? row[std::size_t(col)] : Cell{};
}

const std::optional<std::vector<std::int64_t>>& TerminalView::bidiOrder(std::int64_t row) const {
    const auto rows = std::size_t(terminal_->rows());
    if (bidiCacheData_.size() != rows) {
        bidiCacheData_.assign(rows, std::nullopt);
        bidiCacheValid_.assign(rows, false);
    }
    const auto r = std::size_t(row);
    if (!bidiCacheValid_[r]) {
        bidiCacheData_[r] = bidiVisualOrder(terminal_->gridRow(row), terminal_->effectiveCols(row), &terminal_->clusters());
        bidiCacheValid_[r] = true;
    }
    return bidiCacheData_[r];
}

GridPos TerminalView::gridPos(QPointF point) const {
    const double cw = std::max(cellW(), 1.0);
    const double ch = std::max(cellH(), 1.0);
    const auto sb = std::int64_t(terminal_->scrollback().size());
    std::int64_t col =
        std::min<std::int64_t>(std::int64_t((point.x() - paddingX) / cw), terminal_->cols() - 1);
    const std::int64_t r = std::max<std::int64_t>(0, std::int64_t((point.y() - paddingY) / ch));
    const bool partial = isScrolledBack() && std::fmod(smoothScrollY_, ch) > 0.001;
    const std::int64_t top = sb - scrollbackOffset() - (partial ? 1 : 0);
    const std::int64_t row = std::clamp<std::int64_t>(top + r, 0, sb + terminal_->rows() - 1);
    col = std::max<std::int64_t>(col, 0);
    const std::int64_t gridRow = row - sb;
    if (gridRow >= 0 && gridRow < terminal_->rows()) {
        const auto& order = bidiOrder(gridRow);
        if (order && col < std::int64_t(order->size())) col = (*order)[std::size_t(col)];
    }
    return {row, col};
}

// ---- Selection ---------------------------------------------------------------------------------

void TerminalView::setSelection(std::optional<GridPos> start, std::optional<GridPos> end) {
    if (selStart_ == start && selEnd_ == end) return;
    selStart_ = start;
    selEnd_ = end;
    markDirty();
}

std::optional<std::pair<std::int64_t, std::int64_t>> TerminalView::selectionRange() const {
    if (!selStart_ || !selEnd_) return std::nullopt;
    const std::int64_t cols = terminal_->cols();
    const std::int64_t a = selStart_->row * cols + selStart_->col;
    const std::int64_t b = selEnd_->row * cols + selEnd_->col;
    return std::make_pair(std::min(a, b), std::max(a, b));
}

std::int64_t TerminalView::lastTextCol(std::int64_t row) const {
    if (row < 0 || row >= terminal_->rows()) return -1;
    const auto cells = terminal_->gridRow(row);
    for (std::int64_t c = std::int64_t(cells.size()) - 1; c >= 0; --c)
        if (!isBlankChar(cells[std::size_t(c)].ch)) return c;
    return -1;
}

std::int64_t TerminalView::lastTextColBuf(std::int64_t bufferRow, std::int64_t scrollbackCount) const {
    const std::int64_t gridRow = bufferRow - scrollbackCount;
    if (gridRow >= 0 && gridRow < terminal_->rows()) return lastTextCol(gridRow);
    if (bufferRow < 0 || bufferRow >= scrollbackCount ||
        bufferRow >= std::int64_t(terminal_->scrollback().size()))
        return -1;
    const auto line = terminal_->scrollback().line(std::size_t(bufferRow));
    for (std::int64_t c = std::min<std::int64_t>(terminal_->cols(), std::int64_t(line.size())) - 1; c >= 0;
         --c)
        if (!isBlankChar(line[std::size_t(c)].ch)) return c;
    return -1;
}

std::optional<QString> TerminalView::selectedText() const {
    const auto range = selectionRange();
    if (!range || range->first == range->second) return std::nullopt;
    const std::int64_t cols = terminal_->cols();
    const auto sb = std::int64_t(terminal_->scrollback().size());
    QStringList lines;
    QString line;
    std::int64_t currentRow = -1;
    std::int64_t lastCol = -1;
    for (std::int64_t p = range->first; p <= range->second; ++p) {
        const std::int64_t r = p / cols;
        const std::int64_t c = p % cols;
        if (r != currentRow) {
            if (currentRow >= 0) {
                lines.append(line);
                line.clear();
            }
            currentRow = r;
            lastCol = lastTextColBuf(r, sb);
        }
        if (c <= lastCol) {
            const Cell cell = cellForDisplay(r, c, sb);
            if (cell.width != 0) line += stringOf(*terminal_, cell);
        }
    }
    lines.append(line);
    return joinTrimmedLines(lines);
}

// ---- Text for assistive technology -------------------------------------------------------------

QString TerminalView::accessibilityValue() const {
    if (a11yValueCache_) return *a11yValueCache_;
    QStringList lines;
    for (std::int64_t y = 0; y < terminal_->rows(); ++y) {
        QString line;
        for (const Cell& cell : terminal_->gridRow(y)) {
            if (cell.width == 0) continue; // the right half of a wide character
            line += stringOf(*terminal_, cell);
        }
        lines.append(line);
    }
    a11yValueCache_ = joinTrimmedLines(lines);
    return *a11yValueCache_;
}
