#include "actions/KeyBindings.h"

#include "platform/KeyMapping.h"

namespace bindings {
namespace {

constexpr Qt::KeyboardModifiers kCtrlShift = Qt::ControlModifier | Qt::ShiftModifier;
constexpr Qt::KeyboardModifiers kCtrlShiftAlt = kCtrlShift | Qt::AltModifier;
constexpr Qt::KeyboardModifiers kCtrlAlt = Qt::ControlModifier | Qt::AltModifier;
constexpr Qt::KeyboardModifiers kSuper = Qt::MetaModifier;
constexpr Qt::KeyboardModifiers kHeld =
    Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier | Qt::MetaModifier;

Qt::Key digit(int index) {
    return Qt::Key(Qt::Key_1 + index);
}

std::vector<Binding> buildTable() {
    std::vector<Binding> t;
    // The Control form first (it is the one shown), then the Super form.
    const auto add = [&t](Action action, Scope scope, Qt::Key key, Qt::KeyboardModifiers control,
                          std::optional<Qt::KeyboardModifiers> super = std::nullopt) {
        t.push_back({QKeyCombination(control, key), action, scope});
        if (super) t.push_back({QKeyCombination(*super, key), action, scope});
    };
    const Qt::KeyboardModifiers superShift = kSuper | Qt::ShiftModifier;
    const Qt::KeyboardModifiers superAlt = kSuper | Qt::AltModifier;

    // The main menu's commands, live in terminals and editors alike.
    add(Action::newTab, Scope::both, Qt::Key_T, kCtrlShift, kSuper);
    add(Action::newEditorTab, Scope::both, Qt::Key_E, kCtrlShift, kSuper);
    add(Action::closeTab, Scope::both, Qt::Key_W, kCtrlShift, kSuper);
    add(Action::copy, Scope::both, Qt::Key_C, kCtrlShift, kSuper);
    add(Action::paste, Scope::both, Qt::Key_V, kCtrlShift, kSuper);
    add(Action::selectAll, Scope::both, Qt::Key_A, kCtrlShift, kSuper);
    add(Action::clearScrollback, Scope::both, Qt::Key_K, kCtrlShift, kSuper);
    add(Action::quit, Scope::both, Qt::Key_Q, kCtrlShift, kSuper);
    // Control with a digit shows that tab; with Shift it renames it (Control+Shift+digit is taken
    // by the rename, so the shells are switched with Control+Alt+digit).
    for (int i = 0; i < 9; ++i) add(actions::switchToTab(i), Scope::both, digit(i), Qt::ControlModifier);
    for (int i = 0; i < 9; ++i) add(actions::renameTab(i), Scope::terminal, digit(i), kCtrlShift);
    for (int i = 0; i < 3; ++i) add(actions::switchShell(i), Scope::terminal, digit(i), kCtrlAlt, kSuper);

    // Terminal panes.
    add(Action::resetWindowSize, Scope::terminal, digit(0), kCtrlShiftAlt, superAlt);
    add(Action::snapLeft, Scope::terminal, digit(1), kCtrlShiftAlt, superAlt);
    add(Action::snapRight, Scope::terminal, digit(2), kCtrlShiftAlt, superAlt);
    add(Action::toggleFullscreen, Scope::terminal, digit(3), kCtrlShiftAlt, superAlt);
    add(Action::splitSideBySide, Scope::terminal, Qt::Key_D, kCtrlShift, kSuper);
    add(Action::splitStacked, Scope::terminal, Qt::Key_D, kCtrlShiftAlt, superShift);
    add(Action::switchSplitPane, Scope::terminal, Qt::Key_Tab, Qt::AltModifier,
        Qt::AltModifier | Qt::ShiftModifier);
    add(Action::lineStart, Scope::terminal, Qt::Key_Left, kCtrlShift, kSuper);
    add(Action::lineEnd, Scope::terminal, Qt::Key_Right, kCtrlShift, kSuper);
    add(Action::killLine, Scope::terminal, Qt::Key_Backspace, kCtrlShift, kSuper);
    add(Action::killLine, Scope::terminal, Qt::Key_Backslash, kCtrlShift, kSuper);
    add(Action::undo, Scope::terminal, Qt::Key_Z, kCtrlShift, kSuper);

    // Editor tabs. nano's own Control keys are not here: they are nano's, not the program's.
    add(Action::save, Scope::editor, Qt::Key_S, kCtrlShift, kSuper);
    add(Action::openFile, Scope::editor, Qt::Key_O, kCtrlShift, kSuper);
    add(Action::saveAs, Scope::editor, Qt::Key_S, kCtrlShiftAlt, superShift);
    add(Action::cut, Scope::editor, Qt::Key_X, kCtrlShift, kSuper);
    add(Action::undo, Scope::editor, Qt::Key_Z, kCtrlShift, kSuper);
    add(Action::redo, Scope::editor, Qt::Key_Z, kCtrlShiftAlt, superShift);
    add(Action::find, Scope::editor, Qt::Key_F, kCtrlShift, kSuper);
    add(Action::formatDocument, Scope::editor, Qt::Key_F, Qt::ShiftModifier | Qt::AltModifier);
    return t;
}

bool liveIn(Scope scope, Place place) {
    if (scope == Scope::both) return true;
    return place == Place::terminal ? scope == Scope::terminal : scope == Scope::editor;
}

} // namespace

const std::vector<Binding>& table() {
    static const std::vector<Binding> t = buildTable();
    return t;
}

QKeyCombination chordOf(int qtKey, Qt::KeyboardModifiers modifiers, quint32 nativeScanCode) {
    Qt::KeyboardModifiers held = modifiers & kHeld;
    int key = qtKey;
    // A keypad digit is not a number-row key: it keeps its flag and so matches no digit chord.
    if (modifiers.testFlag(Qt::KeypadModifier) && key >= Qt::Key_0 && key <= Qt::Key_9)
        held |= Qt::KeypadModifier;
    if (const std::optional<int> index =
            keymap::numberRowIndex(qtKey, nativeScanCode, modifiers.testFlag(Qt::KeypadModifier)))
        key = digit(*index);
    else if (key >= Qt::Key_A && key <= Qt::Key_Z)
        ; // letters are reported in their upper-case form with or without Shift
    else if (key == Qt::Key_Backtab)
        key = Qt::Key_Tab;
    else if (key == Qt::Key_Bar && held.testFlag(Qt::ShiftModifier))
        key = Qt::Key_Backslash;
    return QKeyCombination(held, Qt::Key(key));
}

std::optional<Action> actionFor(QKeyCombination chord, Place place) {
    for (const Binding& b : table())
        if (b.chord == chord && liveIn(b.scope, place)) return b.action;
    return std::nullopt;
}

QList<QKeyCombination> chordsOf(Action action) {
    QList<QKeyCombination> chords;
    for (const Binding& b : table())
        if (b.action == action && !chords.contains(b.chord)) chords << b.chord;
    return chords;
}

} // namespace bindings
