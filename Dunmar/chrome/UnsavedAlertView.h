#pragma once

#include "chrome/AlertSheetView.h"

#include <functional>

// The in-window question about unsaved changes: the answers cancel, discard and save (the accented
// one), left to right, over a dimmed host. No key is bound, so it is left only through one of its
// buttons.
class UnsavedAlertView : public AlertSheetView {
    Q_OBJECT
public:
    // Builds the alert over `host` and fades it in. The chosen closure runs after the alert has
    // gone from the host, so it may show another alert there.
    static void show(QWidget* host, const QString& title, const QString& message, const QString& saveLabel,
                     const QString& discardLabel, const QString& cancelLabel, std::function<void()> onSave,
                     std::function<void()> onDiscard, std::function<void()> onCancel);

    std::function<void()> onSave;
    std::function<void()> onDiscard;
    std::function<void()> onCancel;

protected:
    std::function<void()> actionFor(int index) const override;

private:
    UnsavedAlertView(QWidget* host, const QString& title, const QString& message, const QString& saveLabel,
                     const QString& discardLabel, const QString& cancelLabel);
};
