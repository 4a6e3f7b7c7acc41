#include "app/tabs/EditorKeyRouting.h"

#include "actions/KeyBindings.h"
#include "platform/KeyMapping.h"

namespace editorkeys {
namespace {

using namespace keymap;

// The four modifiers that are compared; the keypad flag never decides.
Qt::KeyboardModifiers held(Qt::KeyboardModifiers m) {
    return m & (kShift | kControl | kOption | kCommand);
}

// The commands that act on the editor's text, which a tab without its view cannot do.
bool needsEditorView(Action action) {
    switch (action) {
    case Action::copy:
    case Action::paste:
    case Action::cut:
    case Action::selectAll:
    case Action::undo:
    case Action::redo:
    case Action::find:
    case Action::formatDocument:
        return true;
    default:
        return false;
    }
}

Route perform(Action action) {
    return {Kind::action, action};
}

} // namespace

Route route(const KeyPress& key, const EditorState& editor) {
    if (!editor.activeTabIsEditor) return {};
    const Qt::KeyboardModifiers mods = held(key.modifiers);

    // 1. The program's chords, from the one table.
    const QKeyCombination chord = bindings::chordOf(key.key, key.modifiers, key.nativeScanCode);
    if (const std::optional<Action> action = bindings::actionFor(chord, bindings::Place::editor))
        if (!needsEditorView(*action) || editor.hasEditorView) return perform(*action);

    // 2. nano's Control keys; save and close also without an editor view. They stay nano's: no
    // chord of the table is plain Control with a letter. Cut and paste are the mode's own: ^U
    // pastes nano's cut buffer, not the clipboard.
    if (editor.mode == EditorInputMode::nano && mods == kControl) {
        switch (key.key) {
        case Qt::Key_S:
            return perform(Action::save);
        case Qt::Key_X:
            return perform(Action::closeTab);
        case Qt::Key_U:
        case Qt::Key_K:
            if (editor.hasEditorView) return {Kind::modeKey};
            break;
        default:
            break;
        }
    }

    // 3. vim: in insert mode only Escape is taken; in normal mode every key without Control,
    // Option or Command goes to vim, so nothing is typed.
    if (editor.mode == EditorInputMode::vim && editor.hasEditorView) {
        if (editor.vimInsert) return key.key == Qt::Key_Escape ? Route{Kind::modeKey} : Route{};
        if (mods & (kControl | kOption | kCommand)) return {};
        return {Kind::modeKey};
    }
    return {};
}

} // namespace editorkeys
