#include "app/webpicker/WebPickerHostAdapter.h"

#include "terminalview/TerminalView.h"

#include <QApplication>

void WebPickerHostAdapter::pasteIntoFocusedTerminal(const QString& text) {
    // With no window of ours active another application has the keyboard: it gets nothing.
    if (!QApplication::activeWindow()) return;
    for (QWidget* widget = QApplication::focusWidget(); widget; widget = widget->parentWidget()) {
        if (auto* terminal = qobject_cast<TerminalView*>(widget)) {
            terminal->pasteText(text);
            return;
        }
    }
}
