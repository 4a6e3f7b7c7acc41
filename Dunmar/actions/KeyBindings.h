#pragma once

#include "actions/Action.h"

#include <QKeyCombination>
#include <QList>
#include <optional>
#include <vector>

// The one table from key chords to actions, read by the panes' keys, the editor tabs' keys, the
// main menu's shortcuts and the footer's key caps.
//
// The chords are the ones a Linux desktop leaves to a terminal: the program's own commands are
// Control+Shift plus a key (Control+Shift+Alt where a second variant is needed), so that plain
// Control plus a letter stays the shell's and Alt stays the line editors' Meta key. Super plus the
// key is accepted as a second chord, where the desktop lets it through.
namespace bindings {

// Where a chord is live: in a terminal pane, in an editor tab, or in both (the main menu's items
// and tab switching).
enum class Scope { terminal, editor, both };

struct Binding {
    QKeyCombination chord;
    Action action;
    Scope scope;
};

// Every binding. The chord shown for an action (the footer, tooltips) is its first one.
const std::vector<Binding>& table();

// A key press as the table compares it: Control, Shift, Alt and Super as held (the keypad and the
// layout's group switch never decide) and the key, with a key of the number row as its digit
// whatever Shift or the layout made of it, Backtab as Tab, and Shift+Backslash as Backslash.
QKeyCombination chordOf(int qtKey, Qt::KeyboardModifiers modifiers, quint32 nativeScanCode = 0);

// The place a key was pressed in.
enum class Place { terminal, editor };

// The action a chord asks for there, or none: the key then belongs to the shell or the editor.
std::optional<Action> actionFor(QKeyCombination chord, Place place);

// Every chord bound to `action`, the one shown first; empty when no key is bound to it.
QList<QKeyCombination> chordsOf(Action action);

} // namespace bindings
