#include "app/session/StorageNotices.h"

#include "app/ToastService.h"
#include "platform/Defaults.h"

#include <QDir>
#include <QObject>

namespace storagenotices {

namespace {
const QColor kWarningColor = QColor::fromRgbF(0.85f, 0.55f, 0.2f);
const QColor kErrorColor = QColor::fromRgbF(0.85f, 0.25f, 0.25f);
} // namespace

std::optional<Notice> settingsMovedAside(const QString& movedTo) {
    if (movedTo.isEmpty()) return std::nullopt;
    return Notice{QStringLiteral("SETTINGS"),
                  QStringLiteral("Unreadable settings moved to %1").arg(QDir::toNativeSeparators(movedTo)),
                  QStringLiteral("settingsMovedAsideToast"), kWarningColor};
}

Notice settingsNotWritten(const QString& error) {
    return Notice{QStringLiteral("SETTINGS"), QStringLiteral("Settings not saved: %1").arg(error),
                  QStringLiteral("settingsNotWrittenToast"), kErrorColor};
}

std::optional<Notice> filesSkipped(const QStringList& paths) {
    if (paths.isEmpty()) return std::nullopt;
    const QString text = paths.size() == 1
                             ? QStringLiteral("Not reopened (not a regular file): %1").arg(paths.first())
                             : QStringLiteral("Not reopened (not regular files): %1").arg(paths.join(", "));
    return Notice{QStringLiteral("OPEN"), text, QStringLiteral("filesSkippedToast"), kWarningColor};
}

void show(ToastService& toasts, const Notice& notice) {
    toasts.showGenericToast(notice.badge, notice.text, notice.color, notice.dismissAfter, notice.identifier);
}

void show(ToastService& toasts, const std::optional<Notice>& notice) {
    if (notice) show(toasts, *notice);
}

void watch(Defaults& defaults, ToastService& toasts, QObject* context) {
    show(toasts, settingsMovedAside(defaults.quarantinedPath()));
    QObject::connect(&defaults, &Defaults::writeFailed, context,
                     [&toasts](const QString& error) { show(toasts, settingsNotWritten(error)); });
}

} // namespace storagenotices
