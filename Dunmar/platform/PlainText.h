#pragma once

// Text that did not come from our own tables (page titles and addresses, script results, file,
// folder and branch names, commit messages, profile fields, terminal titles, answers from git or a
// server) is shown as the characters it is: never as rich text, never as a menu mnemonic, never as a
// line break or a change of writing direction it smuggles in. Every widget that shows such text goes
// through these few conversions.

#include <QString>
#include <QStringView>

class QLabel;

namespace plaintext {

enum class Lines {
    escaped, // one line: line breaks and tabs show as "\n" and "\t"
    kept,    // several lines: line breaks and tabs stay, every other control shows
};

// Control characters (C0, DEL, C1), line and paragraph separators and the invisible direction marks,
// embeddings, overrides and isolates as visible escapes: "\n", "\e", "\x01", "\u202E". Everything
// else is left as it is.
QString visibleEscapes(QStringView text, Lines lines = Lines::escaped);

// Makes a label show its text as plain text (never rich text, whatever the text looks like).
void makePlain(QLabel* label);
// A plain label's one-line text: `Qt::PlainText` and visible escapes.
void setLabelText(QLabel* label, const QString& text, Lines lines = Lines::escaped);

// Text for a menu item, action or button: visible escapes, and '&' doubled so that it shows as '&'
// rather than underlining the next letter as a keyboard mnemonic.
QString menuText(const QString& text);

// A tooltip that shows the text as it is: Qt reads a tooltip that looks like markup as rich text.
QString toolTip(const QString& text);

} // namespace plaintext
