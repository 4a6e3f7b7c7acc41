#pragma once

#include "actions/Action.h"

#include <QKeyCombination>
#include <QString>

// How a chord is shown: compactly on the footer's key caps ("^⇧" and "T"), in words in tooltips
// ("Ctrl+Shift+T"). Both show the first chord the bindings table gives the action.
namespace chordtext {

struct Badge {
    QString modifiers; // "^⇧", "⌥"; empty without modifiers
    QString key;       // "T", "⇥", "1"
    QString text() const { return modifiers + key; }
};

Badge badge(QKeyCombination chord);
QString words(QKeyCombination chord);

// The same for the action's shown chord; empty when no key is bound to it.
Badge badgeFor(Action action);
QString wordsFor(Action action);

// A tooltip naming the chord: `text` followed by the chord in words in parentheses ("Save
// (Ctrl+Shift+S)"); `text` alone when no key is bound to the action.
QString tooltip(const QString& text, Action action);

} // namespace chordtext
