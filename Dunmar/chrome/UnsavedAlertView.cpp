#include "chrome/UnsavedAlertView.h"

namespace {

enum AnswerSlot { kCancel, kDiscard, kSave };

} // namespace

UnsavedAlertView::UnsavedAlertView(QWidget* host, const QString& title, const QString& message,
                                   const QString& saveLabel, const QString& discardLabel,
                                   const QString& cancelLabel)
    : AlertSheetView(host, title, message,
                     {{cancelLabel, false, {}}, {discardLabel, false, {}}, {saveLabel, true, {}}},
                     Icon::warning) {}

void UnsavedAlertView::show(QWidget* host, const QString& title, const QString& message,
                            const QString& saveLabel, const QString& discardLabel, const QString& cancelLabel,
                            std::function<void()> onSave, std::function<void()> onDiscard,
                            std::function<void()> onCancel) {
    if (!host) return;
    auto* alert = new UnsavedAlertView(host, title, message, saveLabel, discardLabel, cancelLabel);
    alert->onSave = std::move(onSave);
    alert->onDiscard = std::move(onDiscard);
    alert->onCancel = std::move(onCancel);
    alert->present();
}

// The closures are the alert's own fields, so the owner may change them while it is shown.
std::function<void()> UnsavedAlertView::actionFor(int index) const {
    switch (index) {
    case kCancel:
        return onCancel;
    case kDiscard:
        return onDiscard;
    case kSave:
        return onSave;
    default:
        return {};
    }
}
