// The selection the left button makes while the program does not take the mouse: a press anchors
// it, a drag extends it, a double click selects a word, and the release copies it when the user
// asked for copy on select. The X11 selection always gets the selected text.
#include "terminalview/TerminalView.h"

#include <QClipboard>
#include <QGuiApplication>
#include <span>

namespace {

bool isWordCharacter(char32_t c) {
    return QChar::isLetterOrNumber(c) || QChar::isMark(c) || c == U'-' || c == U'.' || c == U'_';
}

// The right half of a wide character belongs to the character on its left; a cell with marks
// counts by its base.
bool isWordCell(const Terminal& terminal, std::span<const Cell> line, std::int64_t i) {
    const Cell& cell = line[std::size_t(i)];
    if (cell.width == 0)
        return i > 0 && line[std::size_t(i - 1)].width == 2 &&
               isWordCharacter(terminal.baseOf(line[std::size_t(i - 1)]));
    return isWordCharacter(terminal.baseOf(cell));
}

} // namespace

std::pair<GridPos, GridPos> TerminalView::wordBounds(GridPos pos) const {
    const std::span<const Cell> line = terminal_->bufferLine(pos.row);
    const auto length = std::int64_t(line.size());
    if (pos.col < 0 || pos.col >= length || !isWordCell(*terminal_, line, pos.col)) return {pos, pos};
    std::int64_t start = pos.col;
    while (start > 0 && isWordCell(*terminal_, line, start - 1)) --start;
    std::int64_t end = pos.col;
    while (end < terminal_->cols() - 1 && end + 1 < length && isWordCell(*terminal_, line, end + 1)) ++end;
    return {GridPos{pos.row, start}, GridPos{pos.row, end}};
}

bool TerminalView::isSelected(std::int64_t row, std::int64_t col) const {
    const auto range = selectionRange();
    if (!range) return false;
    const std::int64_t p = (row + std::int64_t(terminal_->scrollback().size())) * terminal_->cols() + col;
    return p >= range->first && p <= range->second && col <= lastTextCol(row);
}

void TerminalView::selectionPress(const GridPos& pos, int clickCount) {
    mouseDownPos_ = pos;
    isDragging_ = false;
    isWordSelect_ = false;
    if (clickCount == 2) {
        const auto [start, end] = wordBounds(pos);
        setSelection(start, end);
        isDragging_ = true;
        isWordSelect_ = true;
        update();
        return;
    }
    // A plain press, and the third press of a triple click, clear the selection.
    clearSelection();
}

void TerminalView::selectionDrag(const GridPos& pos) {
    if (isWordSelect_ || !mouseDownPos_) return;
    if (!isDragging_) {
        isDragging_ = true;
        setSelection(mouseDownPos_, pos);
    } else {
        setSelection(selStart_, pos);
    }
    update();
}

void TerminalView::selectionRelease(const GridPos& pos) {
    if (isDragging_) {
        if (pressClickCount_ < 2) setSelection(selStart_, pos);
        const std::optional<QString> text = selectedText();
        if (text && !text->isEmpty()) {
            QClipboard* clipboard = QGuiApplication::clipboard();
            if (clipboard->supportsSelection()) clipboard->setText(*text, QClipboard::Selection);
            if (copyOnSelect()) putOnClipboard(*text);
        }
    } else {
        clearSelection();
    }
    mouseDownPos_.reset();
    isDragging_ = false;
    isWordSelect_ = false;
    markDirty();
}

bool TerminalView::copyOnSelect() const {
    return settings_.pane.copyOnSelect;
}

void TerminalView::pasteSelectionBuffer() {
    const QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard->supportsSelection()) return;
    const QString text = clipboard->text(QClipboard::Selection);
    if (!text.isEmpty()) pasteText(text);
}
