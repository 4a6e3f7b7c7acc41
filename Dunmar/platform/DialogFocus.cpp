#include "platform/DialogFocus.h"

#include <QApplication>
#include <QDialog>

namespace {

// To the widget that had the keyboard before the dialog, when it is still in that window; a window
// hidden meanwhile stays hidden.
void giveKeyboardBack(const QPointer<QWidget>& window, const QPointer<QWidget>& focus) {
    if (!window || !window->isVisible()) return;
    window->activateWindow();
    if (focus && focus->window() == window) focus->setFocus(Qt::ActiveWindowFocusReason);
}

QPointer<QWidget> windowOf(QWidget* widget) {
    return widget ? QPointer<QWidget>(widget->window()) : QPointer<QWidget>();
}

} // namespace

KeyboardReturn::KeyboardReturn(QWidget* over) : window_(windowOf(over)), focus_(QApplication::focusWidget()) {}

KeyboardReturn::~KeyboardReturn() {
    giveKeyboardBack(window_, focus_);
}

void returnKeyboardWhenFinished(QDialog* dialog) {
    if (!dialog) return;
    const QPointer<QWidget> window = windowOf(dialog->parentWidget());
    const QPointer<QWidget> focus = QApplication::focusWidget();
    QObject::connect(dialog, &QDialog::finished, dialog, [window, focus] { giveKeyboardBack(window, focus); });
}
