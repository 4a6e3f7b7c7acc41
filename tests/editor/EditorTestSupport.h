#pragma once

#include "editor/EditorView.h"

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

} // namespace editortest
