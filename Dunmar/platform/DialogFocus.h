#pragma once

#include <QPointer>
#include <QWidget>

class QDialog;

// A dialog shown over one of our windows gives that window the keyboard back when it closes.
// Where the focus goes when a window closes is the window manager's choice, and openbox, for one,
// gives it to no window at all when the dialog belonged to a frameless tool window like ours: the
// user had to click into the window before typing again.
//
// For a dialog run to its end in one call (the static file dialogs, exec()): keep one of these for
// as long as the call runs.
class KeyboardReturn {
public:
    explicit KeyboardReturn(QWidget* over);
    ~KeyboardReturn();
    KeyboardReturn(const KeyboardReturn&) = delete;
    KeyboardReturn& operator=(const KeyboardReturn&) = delete;

private:
    QPointer<QWidget> window_;
    QPointer<QWidget> focus_;
};

// For a dialog opened with open() or show(): the keyboard goes back once it has finished.
void returnKeyboardWhenFinished(QDialog* dialog);
