#pragma once

#include <QString>

// Where a session's text goes, fixed when the session starts: the focused pane of a terminal tab
// (found again by its `tabId`, so a tab moved or closed meanwhile cannot take the text by index),
// an editor tab, or nowhere.
struct DictationTarget {
    enum class Kind { none, terminal, editor };
    Kind kind = Kind::none;
    int tabIndex = -1;
    QString tabId; // terminal only

    static DictationTarget none() { return {}; }
    static DictationTarget terminal(int tabIndex, const QString& tabId) {
        return {Kind::terminal, tabIndex, tabId};
    }
    static DictationTarget editor(int tabIndex) { return {Kind::editor, tabIndex, QString()}; }
    bool operator==(const DictationTarget&) const = default;
};
