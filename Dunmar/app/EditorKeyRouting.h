#pragma once

#include "chrome/EditorInputMode.h"

#include <QString>
#include <Qt>

// The keys the window takes for itself while an editor tab is active, before they reach the
// editor: tab switching with Control+1 to 9, the file and edit commands, and the nano and vim
// keys. Everything else is passed on to the focused widget.
namespace editorkeys {

enum class Action {
    pass,
    switchToTab, // Control+digit: `tabIndex`
    save,
    open,
    saveAs,
    cut,
    selectAll,
    undo,
    redo,
    find,
    format,
    nanoSave,
    nanoClose,
    nanoPaste,
    nanoCutLine,
    vimKey,        // the editor's vim key handler
    vimTwoKeyOp,   // the two-key operator handler first, then the key handler when it declines
    vimColonInput, // the typed characters go to the ":" command line
};

struct KeyPress {
    int key = 0;                       // Qt::Key
    Qt::KeyboardModifiers modifiers{}; // as the event has them (Command is Meta)
};

struct EditorState {
    bool activeTabIsEditor = false;
    EditorInputMode mode = EditorInputMode::normal;
    bool hasEditorView = false;
    bool vimInsert = false;       // vim's insert sub-mode (typing)
    bool vimPendingColon = false; // a ":" command is being typed
};

struct Route {
    Action action = Action::pass;
    int tabIndex = -1;
    bool consumed() const { return action != Action::pass; }
};

Route route(const KeyPress& key, const EditorState& editor);

} // namespace editorkeys
