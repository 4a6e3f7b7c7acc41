// Text in and out of the pane: pasting (bracketed when the shell asks), copying the selection,
// selecting everything, clearing the history, clipboard writes of programs, and drops of files and
// text.
#include "terminalview/PasteEncoding.h"
#include "terminalview/PasteFilter.h"
#include "terminalview/TerminalView.h"

#include <QClipboard>
#include <QDragEnterEvent>
#include <QDragLeaveEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QMimeData>
#include <QUrl>

// Every paste comes through here (the keys and menus, the middle button, drops, the picker,
// dictation), so that none of them can bring control characters to the program.
void TerminalView::pasteText(const QString& text) {
    const QString kept = QString::fromStdU16String(
        pasting::withoutControls(std::u16string_view(QStringView(text).utf16(), std::size_t(text.size()))));
    if (kept.isEmpty()) return;
    if (!terminal_->mode(Mode::bracketedPaste)) {
        writePTY(kept);
        return;
    }
    // With ESC gone the text cannot close the bracket early.
    writePTY(QByteArrayView(pasting::kPasteStart, sizeof pasting::kPasteStart - 1));
    writePTY(kept);
    writePTY(QByteArrayView(pasting::kPasteEnd, sizeof pasting::kPasteEnd - 1));
}

void TerminalView::paste() {
    const QString text = QGuiApplication::clipboard()->text(QClipboard::Clipboard);
    if (!text.isEmpty()) pasteText(text);
}

void TerminalView::copyText() {
    const std::optional<QString> text = selectedText();
    if (text && !text->isEmpty()) putOnClipboard(*text);
}

void TerminalView::putOnClipboard(const QString& text) {
    QGuiApplication::clipboard()->setText(text, QClipboard::Clipboard);
}

void TerminalView::selectAll() {
    const auto sb = std::int64_t(terminal_->scrollback().size());
    setSelection(GridPos{0, 0}, GridPos{sb + terminal_->rows() - 1, terminal_->cols() - 1});
    update();
}

void TerminalView::clearScrollback() {
    const Scrollback& scrollback = terminal_->scrollback();
    const std::uint64_t pushedBefore = scrollback.pushedTotal();
    const std::uint64_t droppedBefore = scrollback.droppedTotal();
    terminal_->clearScrollback();
    terminal_->eraseDisplay(2);
    terminal_->homeCursor();
    // Positions the owner keeps as buffer rows learn that the history went.
    followScrollback(pushedBefore, droppedBefore);
    smoothScrollY_ = 0;
    scrollAccumulator_ = 0;
    stopMomentum();
    clearSelection();
    contentChanged();
    // Control-L: the shell draws its prompt again on the empty screen.
    writePTY(QByteArrayView("\x0c", 1));
}

// ---- Drops -------------------------------------------------------------------------------------

bool TerminalView::hasFileUrls(const QMimeData* mime) {
    if (!mime || !mime->hasUrls()) return false;
    for (const QUrl& url : mime->urls())
        if (url.isLocalFile()) return true;
    return false;
}

void TerminalView::dragEnterEvent(QDragEnterEvent* event) {
    const QMimeData* mime = event->mimeData();
    if (hasFileUrls(mime) || (mime && mime->hasText())) {
        cachedDragOperation_ = Qt::CopyAction;
        isDragSessionActive_ = true;
        event->setDropAction(Qt::CopyAction);
        event->accept();
        return;
    }
    cachedDragOperation_ = Qt::IgnoreAction;
    event->ignore();
}

void TerminalView::dragMoveEvent(QDragMoveEvent* event) {
    if (cachedDragOperation_ == Qt::CopyAction) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void TerminalView::dragLeaveEvent(QDragLeaveEvent* event) {
    isDragSessionActive_ = false;
    cachedDragOperation_ = Qt::IgnoreAction;
    event->accept();
}

void TerminalView::dropEvent(QDropEvent* event) {
    isDragSessionActive_ = false;
    cachedDragOperation_ = Qt::IgnoreAction;
    const QMimeData* mime = event->mimeData();
    QStringList paths;
    if (mime && mime->hasUrls())
        for (const QUrl& url : mime->urls())
            if (url.isLocalFile()) paths.append(url.toLocalFile());
    if (!paths.isEmpty()) {
        pasteText(pasting::shellWordsForPaths(paths));
        event->setDropAction(Qt::CopyAction);
        event->accept();
        return;
    }
    const QString text = mime ? mime->text() : QString();
    if (text.isEmpty()) {
        event->ignore();
        return;
    }
    pasteText(text);
    event->setDropAction(Qt::CopyAction);
    event->accept();
}
