// Keys: the chords of the bindings table (application commands and the editing shortcuts that
// become control bytes for the shell's line editor), the history-suggestion keys, and every other
// key encoded for the program in the terminal (the kitty keyboard protocol when the program asked
// for it, xterm's sequences otherwise).
#include "actions/KeyBindings.h"
#include "platform/KeyMapping.h"
#include "terminalview/KeyEncoding.h"
#include "terminalview/TerminalView.h"
#include "terminalview/TerminalViewHost.h"

#include <QInputMethodEvent>
#include <QKeyEvent>

namespace {

constexpr char kEsc = '\x1b';

bool isArrow(keys::FunctionalKey key) {
    using keys::FunctionalKey;
    return key == FunctionalKey::up || key == FunctionalKey::down || key == FunctionalKey::left ||
           key == FunctionalKey::right;
}

keys::KeyInput keyInputOf(const QKeyEvent* event) {
    const Qt::KeyboardModifiers mods = event->modifiers();
    keys::KeyInput in;
    in.key = event->key();
    in.shift = keymap::hasShift(mods) || event->key() == Qt::Key_Backtab;
    in.alt = keymap::hasOption(mods);
    in.control = keymap::hasControl(mods);
    in.super = keymap::hasCommand(mods);
    in.keypad = mods.testFlag(Qt::KeypadModifier);
    in.text = event->text();
    return in;
}

} // namespace

bool TerminalView::event(QEvent* event) {
    // Tab and Shift+Tab belong to the shell; they do not move the focus to another widget.
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
            keyPressEvent(key);
            return true;
        }
    }
    return QWidget::event(event);
}

void TerminalView::keyPressEvent(QKeyEvent* event) {
    event->accept();
    // A modifier pressed alone sends nothing.
    if (keys::isModifierOnlyKey(event->key())) return;
    if (handleHistoryKey(event)) return;
    if (smoothScrollY_ > 0) {
        // Typing returns to the live screen.
        smoothScrollY_ = 0;
        scrollAccumulator_ = 0;
        stopMomentum();
        markDirty();
        update();
    }
    noteKeystroke();

    const Qt::KeyboardModifiers mods = event->modifiers();
    const bool shift = keymap::hasShift(mods);
    const bool alt = keymap::hasOption(mods);
    const bool control = keymap::hasControl(mods);

    // The program's chords come before the shell: Control+Shift and Super chords, Control with a
    // digit, Alt+Tab. Plain Control and Alt chords are not in the table and reach the shell below.
    if (handleBoundKey(event)) return;
    // A Super chord the table does not have is the desktop's, never typed.
    if (keymap::hasCommand(mods)) {
        event->ignore();
        return;
    }
    if (alt && handleOptionKey(event)) return;

    const int flags = int(terminal_->kittyKbdFlags());
    if (flags != 0) {
        const auto type = event->isAutoRepeat() ? keys::KeyEventType::repeat : keys::KeyEventType::press;
        if (const std::optional<QByteArray> bytes = keys::kittyEncode(keyInputOf(event), type, flags)) {
            writePTY(QByteArrayView(*bytes));
            clearSelectionForTyping();
            update();
            return;
        }
    }
    const keys::FunctionalKey functional = keys::functionalKeyOf(event->key());
    if (flags == 0 && shift && !control && !alt && isArrow(functional)) {
        handleShiftArrow(functional);
        return;
    }
    if (control && handleControlKey(event, alt)) return;
    handleLegacyKey(event, shift, alt, control);
}

void TerminalView::keyReleaseEvent(QKeyEvent* event) {
    event->accept();
    // X11 sends a release before every automatic repeat; the repeat itself is the event.
    if (event->isAutoRepeat()) return;
    if (keymap::hasCommand(event->modifiers())) return;
    const int flags = int(terminal_->kittyKbdFlags());
    if (flags == 0) return;
    if (const std::optional<QByteArray> bytes =
            keys::kittyEncode(keyInputOf(event), keys::KeyEventType::release, flags))
        writePTY(QByteArrayView(*bytes));
}

bool TerminalView::handleBoundKey(const QKeyEvent* event) {
    const QKeyCombination chord =
        bindings::chordOf(event->key(), event->modifiers(), event->nativeScanCode());
    const std::optional<Action> action = bindings::actionFor(chord, bindings::Place::terminal);
    if (!action) return false;
    trigger(*action);
    return true;
}

void TerminalView::trigger(Action action) {
    if (!perform(action) && host_) host_->perform(action);
}

bool TerminalView::perform(Action action) {
    if (const std::optional<int> shell = actions::shellIndex(action)) {
        if (*shell == 0) switchToShell1();
        if (*shell == 1) switchToShell2();
        if (*shell == 2) switchToShell3();
        if (host_) host_->shellSwitched(this);
        return true;
    }
    switch (action) {
    case Action::copy:
        copyText();
        return true;
    case Action::paste:
        paste();
        return true;
    case Action::selectAll:
        selectAll();
        return true;
    case Action::clearScrollback:
        clearScrollback();
        return true;
    case Action::lineStart:
        writePTY(QByteArrayView("\x01", 1));
        return true;
    case Action::lineEnd:
        writePTY(QByteArrayView("\x05", 1));
        return true;
    case Action::killLine:
        clearHistoryState();
        writePTY(QByteArrayView("\x15", 1));
        return true;
    case Action::undo:
        writePTY(QByteArrayView("\x1f", 1)); // the line editor's undo
        return true;
    default:
        return false;
    }
}

// Alt (Option) held without Command: the line editor's word keys. A character
// that AltGr composed is typed as it is; otherwise the key goes on with Alt as a modifier.
bool TerminalView::handleOptionKey(const QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Backspace:
        writePTY(QByteArrayView("\x1b\x7f", 2));
        return true;
    case Qt::Key_Left:
        writePTY(QByteArrayView("\x1b"
                                "b",
                                2));
        return true;
    case Qt::Key_Right:
        writePTY(QByteArrayView("\x1b"
                                "f",
                                2));
        return true;
    default:
        break;
    }
    const QString text = event->text();
    if (!keys::isPrintableText(text)) return false;
    // Alt does not change the character a key makes here; a different one (other than by Shift)
    // comes from AltGr or a composing layout.
    const std::optional<char32_t> unmodified = keys::unmodifiedCharacter(event->key(), QString());
    const char32_t typed = char32_t(QChar::toLower(*keys::firstScalar(text)));
    if (!keymap::hasAltGr(event->modifiers()) && unmodified && typed == *unmodified) return false;
    writeTypedText(text, false);
    clearSelectionForTyping();
    update();
    return true;
}

// Control plus a character: the control byte the line editors know, after ESC with Alt held.
bool TerminalView::handleControlKey(const QKeyEvent* event, bool alt) {
    const std::optional<char32_t> c = keys::unmodifiedCharacter(event->key(), event->text());
    if (!c) return false;
    const std::optional<char> byte = keys::controlByte(*c);
    if (!byte) return false;
    // Control+U kills the line and Control+C abandons it.
    if (*c == U'u' || *c == U'c') clearHistoryState();
    QByteArray out;
    if (alt) out.append(kEsc);
    out.append(*byte);
    writePTY(QByteArrayView(out));
    return true;
}

void TerminalView::handleLegacyKey(const QKeyEvent* event, bool shift, bool alt, bool control) {
    clearSelectionForTyping();
    const int m = keys::xtermModifierParam(shift, alt, control);
    const bool plain = m == 1;
    const keys::FunctionalKey functional = keys::functionalKeyOf(event->key());
    const QByteArray metaPrefix = alt ? QByteArray(1, kEsc) : QByteArray();
    if (functional != keys::FunctionalKey::none) {
        using keys::FunctionalKey;
        if (plain && functional == FunctionalKey::up && cycleHistoryUp()) return;
        if (plain && functional == FunctionalKey::down && cycleHistoryDown()) return;
        if (plain && functional == FunctionalKey::right && acceptSuggestion()) return;
        writePTY(QByteArrayView(keys::xtermFunctionalKey(functional, m, terminal_->mode(Mode::appCursor))));
        update();
        return;
    }
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: {
        clearHistoryState();
        const bool keypadEnter = event->key() == Qt::Key_Enter && terminal_->mode(Mode::appKeypad);
        writePTY(QByteArrayView(metaPrefix + (keypadEnter ? QByteArray("\x1bOM") : QByteArray("\r"))));
        break;
    }
    case Qt::Key_Escape:
        clearHistoryState();
        writePTY(QByteArrayView(metaPrefix + QByteArray(1, kEsc)));
        break;
    case Qt::Key_Backspace:
        eraseLastTypedCharacter();
        writePTY(QByteArrayView("\x7f", 1));
        break;
    case Qt::Key_Backtab:
        writePTY(QByteArrayView("\x1b[Z", 3));
        break;
    case Qt::Key_Tab:
        if (shift) {
            writePTY(QByteArrayView("\x1b[Z", 3));
        } else if (!acceptSuggestion()) {
            writePTY(QByteArrayView("\t", 1));
        }
        break;
    default:
        if (!event->text().isEmpty()) writeTypedText(event->text(), alt);
        break;
    }
    update();
}

void TerminalView::writeTypedText(const QString& text, bool alt) {
    if (alt) {
        // Alt is the line editors' Meta key: ESC, then the key.
        writePTY(QString(QChar(kEsc)) + text);
        return;
    }
    writePTY(text);
    if (historyActive() && keys::isPrintableText(text)) {
        setTypedBuffer(typedBuffer_ + text);
        clearHistoryCycle();
    }
}

void TerminalView::clearSelectionForTyping() {
    clearSelection();
}

void TerminalView::handleShiftArrow(keys::FunctionalKey arrow) {
    const auto sb = std::int64_t(terminal_->scrollback().size());
    const std::int64_t cols = terminal_->cols();
    const std::int64_t lastRow = sb + terminal_->rows() - 1;
    const GridPos cursor{sb + terminal_->cursorY(), terminal_->cursorX()};
    const GridPos start = selStart_ ? *selStart_ : cursor;
    const GridPos end = selStart_ && selEnd_ ? *selEnd_ : cursor;
    GridPos moved = end;
    switch (arrow) {
    case keys::FunctionalKey::left:
        moved = end.col == 0 ? GridPos{std::max<std::int64_t>(end.row - 1, 0), cols - 1}
                             : GridPos{end.row, end.col - 1};
        break;
    case keys::FunctionalKey::right:
        moved =
            end.col + 1 >= cols ? GridPos{std::min(end.row + 1, lastRow), 0} : GridPos{end.row, end.col + 1};
        break;
    case keys::FunctionalKey::down:
        moved = GridPos{std::min(end.row + 1, lastRow), end.col};
        break;
    case keys::FunctionalKey::up:
        moved = GridPos{std::max<std::int64_t>(end.row - 1, 0), end.col};
        break;
    default:
        return;
    }
    setSelection(start, moved);
    update();
}

// Text from an input method (a composed character, a word from a CJK input method) is typed.
void TerminalView::inputMethodEvent(QInputMethodEvent* event) {
    event->accept();
    if (event->commitString().isEmpty()) return;
    noteKeystroke();
    writeTypedText(event->commitString(), false);
    clearSelectionForTyping();
    update();
}

QVariant TerminalView::inputMethodQuery(Qt::InputMethodQuery query) const {
    switch (query) {
    case Qt::ImEnabled:
        return true;
    case Qt::ImCursorRectangle:
        return QRectF(paddingX + qreal(terminal_->cursorX()) * cellW(),
                      paddingY + qreal(terminal_->cursorY()) * cellH(), cellW(), cellH())
            .toRect();
    default:
        return QWidget::inputMethodQuery(query);
    }
}
