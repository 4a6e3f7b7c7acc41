// The nano and vim input modes of the editor view: the mode bar, nano's line cut and vim's normal
// sub-mode commands. The window routes the keys here (only keys that must not be typed).
#include "editor/EditorView.h"
#include "localisation/Loc.h"
#include "localisation/LocBinding.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>

namespace {

void setLabel(QLabel* label, const std::string& text, const QColor& color) {
    label->setText(qs(text));
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, color);
    label->setPalette(p);
}

} // namespace

void EditorView::setInputMode(EditorInputMode mode) {
    inputMode_ = mode;
    switch (mode) {
    case EditorInputMode::normal:
        modeBar_->hide();
        textView_->setReadOnly(false);
        break;
    case EditorInputMode::nano:
        setLabel(modeBarLabel_, Loc::nanoModeBar(), QColor::fromRgbF(0.5f, 0.85f, 0.5f));
        modeBar_->show();
        textView_->setReadOnly(false);
        break;
    case EditorInputMode::vim:
        modeBar_->show();
        setVimMode(VimSubMode::normal);
        break;
    }
    modeBar_->raise();
    layoutChildren();
}

void EditorView::setVimMode(VimSubMode mode) {
    vimMode_ = mode;
    if (!isLoading()) textView_->setReadOnly(false);
    if (mode == VimSubMode::normal) {
        vimPendingD_ = false;
        vimPendingY_ = false;
        vimPendingColon_ = false;
    }
    updateVimModeBar();
}

void EditorView::updateVimModeBar() {
    if (vimMode_ == VimSubMode::normal)
        setLabel(modeBarLabel_, Loc::vimNormal(), QColor::fromRgbF(0.4f, 0.7f, 1.0f));
    else
        setLabel(modeBarLabel_, Loc::vimInsert(), QColor::fromRgbF(0.4f, 0.9f, 0.5f));
}

void EditorView::cutCurrentLine() {
    const LineRange line = lineAt(caret());
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(text().mid(line.location, line.length));
    replaceRange(line.location, line.length, QString());
}

bool EditorView::handleVimTwoKeyOp(const QKeyEvent* event) {
    if (vimMode_ != VimSubMode::normal) return false;
    const QString c = event->text();
    if (c == QLatin1String("d")) {
        if (vimPendingD_) {
            vimPendingD_ = false;
            const LineRange line = lineAt(caret());
            replaceRange(line.location, line.length, QString());
        } else {
            vimPendingD_ = true;
            vimPendingY_ = false;
        }
        return true;
    }
    if (c == QLatin1String("y")) {
        if (vimPendingY_) {
            vimPendingY_ = false;
            const LineRange line = lineAt(caret());
            vimYankBuffer_ = text().mid(line.location, line.length);
        } else {
            vimPendingY_ = true;
            vimPendingD_ = false;
        }
        return true;
    }
    vimPendingD_ = false;
    vimPendingY_ = false;
    return false;
}

bool EditorView::handleVimKey(const QKeyEvent* event) {
    if (vimMode_ == VimSubMode::insert) {
        if (event->key() != Qt::Key_Escape) return false;
        setVimMode(VimSubMode::normal);
        return true;
    }
    const QString c = event->text();
    const int length = textView_->document()->characterCount() - 1;
    const int at = caret();
    const LineRange line = lineAt(at);
    if (c == QLatin1String("i")) {
        setVimMode(VimSubMode::insert);
    } else if (c == QLatin1String("a")) {
        moveCaret(std::min(at + 1, length));
        setVimMode(VimSubMode::insert);
    } else if (c == QLatin1String("o")) {
        // A new empty line below this one, with the caret on it, also on the last line.
        const int contentEnd = line.location + line.length - (line.hasBreak ? 1 : 0);
        replaceRange(contentEnd, 0, QStringLiteral("\n"));
        moveCaret(contentEnd + 1);
        setVimMode(VimSubMode::insert);
    } else if (c == QLatin1String("h")) {
        moveCaret(std::max(at - 1, 0));
    } else if (c == QLatin1String("l")) {
        moveCaret(std::min(at + 1, length));
    } else if (c == QLatin1String("j")) {
        textView_->moveCursor(QTextCursor::Down);
    } else if (c == QLatin1String("k")) {
        textView_->moveCursor(QTextCursor::Up);
    } else if (c == QLatin1String("0")) {
        moveCaret(line.location);
    } else if (c == QLatin1String("$")) {
        int e = line.location + line.length;
        if (line.hasBreak) e -= 1;
        moveCaret(std::max(e, line.location));
    } else if (c == QLatin1String("p")) {
        if (vimYankBuffer_.isEmpty()) return true;
        QString pasted = vimYankBuffer_;
        if (!pasted.endsWith(u'\n')) pasted += u'\n';
        const int e = line.location + line.length;
        if (line.hasBreak) {
            replaceRange(e, 0, pasted);
            moveCaret(e);
        } else {
            // The last line has no break to paste after: the pasted line goes below it, not onto it.
            pasted.chop(1);
            replaceRange(e, 0, QStringLiteral("\n") + pasted);
            moveCaret(e + 1);
        }
    } else if (c == QLatin1String(":")) {
        vimPendingColon_ = true;
    } else {
        switch (event->key()) {
        case Qt::Key_Left:
            textView_->moveCursor(QTextCursor::Left);
            break;
        case Qt::Key_Right:
            textView_->moveCursor(QTextCursor::Right);
            break;
        case Qt::Key_Down:
            textView_->moveCursor(QTextCursor::Down);
            break;
        case Qt::Key_Up:
            textView_->moveCursor(QTextCursor::Up);
            break;
        default:
            return false;
        }
    }
    return true;
}

bool EditorView::handleVimColonCommand(const QString& command) {
    vimPendingColon_ = false;
    if (!onSaveRequested || !onCloseRequested) return false;
    if (command == QLatin1String("w")) {
        onSaveRequested();
    } else if (command == QLatin1String("q")) {
        onCloseRequested();
    } else if (command == QLatin1String("x")) {
        // Saving may ask for a name and let this view go; the close is asked for anyway, as the
        // owner's close asks about unsaved changes itself.
        const std::function<void()> close = onCloseRequested;
        onSaveRequested();
        close();
    } else {
        return false;
    }
    return true;
}
