#pragma once

#include <QColor>
#include <QString>
#include <QStringList>
#include <optional>

class Defaults;
class QObject;
class ToastService;

// What the user is told about files the program could not keep or use: a settings file that could
// not be read and was moved aside, settings that could not be written (a full disk), and saved
// editor tabs left out because their file is a FIFO or a device. Each is one toast.
namespace storagenotices {

struct Notice {
    QString badge;
    QString text;
    QString identifier;
    QColor color;
    double dismissAfter = 10.0;
};

// The broken settings file and where it went; none when the file was read.
std::optional<Notice> settingsMovedAside(const QString& movedTo);
Notice settingsNotWritten(const QString& error);
std::optional<Notice> filesSkipped(const QStringList& paths);

void show(ToastService& toasts, const Notice& notice);
void show(ToastService& toasts, const std::optional<Notice>& notice);

// Says now whether the store's file was moved aside at load, and later, once per run of failures,
// that it could not be written. The toasts are shown while `toasts` lives.
void watch(Defaults& defaults, ToastService& toasts, QObject* context);

} // namespace storagenotices
