#pragma once

#include "actions/Action.h"
#include "chrome/EditorInputMode.h"

#include <QString>
#include <Qt>

// The keys the window takes for itself while an editor tab is active, before they reach the
// editor: the chords of the bindings table that are live in editor tabs (tab switching with
// Control+1 to 9, the file and edit commands), nano's Control keys and vim's keys. Everything else
// is passed on to the focused widget.
namespace editorkeys {

enum class Kind {
    pass,
    action,  // `action` is performed
    modeKey, // the editor's input mode (vim's keys, nano's cut) takes it
};

struct KeyPress {
    int key = 0;                       // Qt::Key
    Qt::KeyboardModifiers modifiers{}; // as the event has them (Super is Meta)
    quint32 nativeScanCode = 0;
};

struct EditorState {
    bool activeTabIsEditor = false;
    EditorInputMode mode = EditorInputMode::normal;
    bool hasEditorView = false;
    bool vimInsert = false; // vim's insert sub-mode (typing)
};

struct Route {
    Kind kind = Kind::pass;
    Action action = Action::newTab; // for Kind::action
    bool consumed() const { return kind != Kind::pass; }
};

Route route(const KeyPress& key, const EditorState& editor);

} // namespace editorkeys
