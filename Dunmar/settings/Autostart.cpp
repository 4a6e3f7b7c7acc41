#include "settings/Autostart.h"

#include "platform/AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace autostart {

QString entryPath() {
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return config + QStringLiteral("/autostart/") + QLatin1String(kEntryName);
}

QString quoteExecArgument(const QString& path) {
    // First the argument quoting: inside double quotes, ", `, $ and \ take a backslash.
    QString quoted;
    quoted.reserve(path.size() + 8);
    for (const QChar c : path) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\'))
            quoted += QLatin1Char('\\');
        quoted += c;
    }
    // Then the value is a string, whose own escapes are undone before the quoting is read: every
    // backslash is written twice. A literal % would start a field code.
    quoted.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    quoted.replace(QLatin1Char('%'), QLatin1String("%%"));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QString desktopEntry(const QString& executablePath) {
    return QStringLiteral("[Desktop Entry]\n"
                          "Type=Application\n"
                          "Version=1.4\n"
                          "Name=Dunmar\n"
                          "Comment=Drop-down terminal\n"
                          "Exec=%1\n"
                          "Terminal=false\n"
                          "X-GNOME-Autostart-enabled=true\n")
        .arg(quoteExecArgument(executablePath));
}

namespace {
void setError(QString* error, const QString& text) {
    if (error) *error = text;
}

bool expressible(const QString& path) {
    // An Exec line is one line of text; control characters have no quoted form in it.
    for (const QChar c : path)
        if (c.unicode() < 0x20 || c.unicode() == 0x7f) return false;
    return !path.isEmpty();
}
} // namespace

bool install(const QString& executablePath, QString* error) {
    if (!expressible(executablePath) || !QFileInfo(executablePath).isAbsolute()) {
        setError(error, QStringLiteral("the program's path cannot be written into an autostart entry"));
        return false;
    }
    const QString path = entryPath();
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder)) {
        setError(error, QStringLiteral("cannot create %1").arg(folder));
        return false;
    }
    QString why;
    if (!atomicfile::write(path, desktopEntry(executablePath).toUtf8(), &why)) {
        setError(error, QStringLiteral("cannot write %1: %2").arg(path, why));
        return false;
    }
    return true;
}

bool remove(QString* error) {
    const QString path = entryPath();
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink()) return true;
    QFile file(path);
    if (!file.remove()) {
        setError(error, QStringLiteral("cannot remove %1: %2").arg(path, file.errorString()));
        return false;
    }
    return true;
}

} // namespace autostart
