#pragma once

#include "editor/EditorView.h"

#include <QByteArray>
#include <QFile>
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

inline QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(missing)");
}

// Replaces the file's content in place, as a program that writes into the file does.
inline bool writeAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

} // namespace editortest
