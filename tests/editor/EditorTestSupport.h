#pragma once

#include "editor/EditorView.h"

#include <QKeyEvent>
#include <QTextCursor>

namespace editortest {

inline void setCaret(EditorView& view, int position) {
    QTextCursor cursor = view.textView()->textCursor();
    cursor.setPosition(position);
    view.textView()->setTextCursor(cursor);
}

inline int caret(const EditorView& view) {
    return view.textView()->textCursor().position();
}

// A key as the window hands it to the vim handlers: its text is what it types.
inline QKeyEvent key(const QString& text, int code = 0) {
    if (code == 0 && text.size() == 1) code = QChar(text[0]).toUpper().unicode();
    return QKeyEvent(QEvent::KeyPress, code, Qt::NoModifier, text);
}

} // namespace editortest
