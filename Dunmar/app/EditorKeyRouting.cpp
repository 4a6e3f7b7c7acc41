#include "app/EditorKeyRouting.h"

#include "platform/KeyMapping.h"

namespace editorkeys {
namespace {

using namespace keymap;

// The four modifiers that are compared; the keypad flag never decides.
Qt::KeyboardModifiers held(Qt::KeyboardModifiers m) {
    return m & (kShift | kControl | kOption | kCommand);
}

} // namespace

Route route(const KeyPress& key, const EditorState& editor) {
    if (!editor.activeTabIsEditor) return {};
    const Qt::KeyboardModifiers mods = held(key.modifiers);

    // 1. Control alone with a digit switches tabs.
    if (mods == kControl && key.key >= Qt::Key_1 && key.key <= Qt::Key_9)
        return {Action::switchToTab, key.key - Qt::Key_1};

    // 2. The file and edit commands; Control does not count here.
    const Qt::KeyboardModifiers noControl = mods & ~Qt::KeyboardModifiers(kControl);
    const bool cmd = noControl == Qt::KeyboardModifiers(kCommand);
    const bool shiftCmd = noControl == (kShift | kCommand);
    const bool shiftOpt = noControl == (kShift | kOption);
    struct Row {
        bool modifiersMatch;
        int key;
        Action action;
        bool needsEditorView;
    };
    const Row rows[] = {
        {cmd, Qt::Key_S, Action::save, false},        {cmd, Qt::Key_O, Action::open, false},
        {shiftCmd, Qt::Key_S, Action::saveAs, false}, {cmd, Qt::Key_X, Action::cut, true},
        {cmd, Qt::Key_A, Action::selectAll, true},    {cmd, Qt::Key_Z, Action::undo, true},
        {shiftCmd, Qt::Key_Z, Action::redo, true},    {cmd, Qt::Key_F, Action::find, true},
        {shiftOpt, Qt::Key_F, Action::format, true},
    };
    for (const Row& row : rows)
        if (row.modifiersMatch && key.key == row.key && (!row.needsEditorView || editor.hasEditorView))
            return {row.action};

    // 3. nano's Control keys, also without an editor view.
    if (editor.mode == EditorInputMode::nano && mods == kControl) {
        switch (key.key) {
        case Qt::Key_S:
            return {Action::nanoSave};
        case Qt::Key_X:
            return {Action::nanoClose};
        case Qt::Key_U:
            return {Action::nanoPaste};
        case Qt::Key_K:
            return {Action::nanoCutLine};
        default:
            break;
        }
    }

    // 4. vim: in insert mode only Escape is taken; in normal mode every key without Control,
    // Option or Command goes to the vim handlers, so nothing is typed.
    if (editor.mode == EditorInputMode::vim && editor.hasEditorView) {
        if (editor.vimInsert) return key.key == Qt::Key_Escape ? Route{Action::vimKey} : Route{};
        if (mods & (kControl | kOption | kCommand)) return {};
        return {editor.vimPendingColon ? Action::vimColonInput : Action::vimTwoKeyOp};
    }
    return {};
}

} // namespace editorkeys
