#pragma once

#include "chrome/EditorInputMode.h"

#include <QPlainTextEdit>

class QKeyEvent;
#include <QString>
#include <functional>
#include <optional>

// The page of an editor tab, kept as small as the tabs need until the code editor takes its place:
// a plain text view that loads and saves one UTF-8 file and knows whether it holds unsaved
// changes. It has no highlighting, no find bar and no vim keys; choosing an input mode is accepted.
class EditorView : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit EditorView(QWidget* parent = nullptr);

    // Replaces the text with the file's content, read whole as UTF-8, and marks it unmodified.
    // False, and the text left as it was, when the file cannot be read or is not UTF-8; `error`
    // then says why.
    bool loadFile(const QString& path, QString* error = nullptr);
    // Shows `text` as the unmodified content.
    void setContent(const QString& text);
    // Writes the text to `path` as UTF-8 (replacing the file as a whole, never leaving half of it)
    // and marks it unmodified. False, and still modified, when the file cannot be written.
    bool saveFile(const QString& path, QString* error = nullptr);

    bool isDirty() const;
    // Runs when the text becomes modified or unmodified.
    std::function<void(bool dirty)> onDirtyChanged;

    void setInputMode(EditorInputMode mode) { inputMode_ = mode; }
    EditorInputMode inputMode() const { return inputMode_; }

    // The widget that takes the keyboard when the tab is shown.
    QWidget* textView() { return this; }

    // nano's Control+K: the line under the cursor goes to the clipboard and out of the text.
    void cutCurrentLine();
    // The find bar and the vim keys belong to the code editor; here there is no find bar, and vim
    // stays in its typing (insert) mode, so that keys are typed and Escape is declined.
    void showFindBar() {}
    bool isVimInsertMode() const { return true; }
    bool vimPendingColon() const { return false; }
    bool handleVimKey(QKeyEvent*) { return false; }
    bool handleVimTwoKeyOp(QKeyEvent*) { return false; }
    bool handleVimColonCommand(const QString&) { return false; }

private:
    EditorInputMode inputMode_ = EditorInputMode::normal;
};
