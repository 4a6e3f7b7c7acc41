#include "terminalview/ShellList.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

bool isExecutableFile(const QString& path) {
    if (path.isEmpty()) return false;
    const QByteArray native = QFile::encodeName(path);
    struct stat st {};
    if (::stat(native.constData(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    return ::access(native.constData(), X_OK) == 0;
}

const QList<ShellEntry>& availableShells() {
    static const QList<ShellEntry> shells = [] {
        const QList<ShellEntry> candidates{{"zsh", "/bin/zsh"}, {"bash", "/bin/bash"}, {"sh", "/bin/sh"}};
        QList<ShellEntry> present;
        for (const ShellEntry& candidate : candidates)
            if (isExecutableFile(candidate.path)) present.append(candidate);
        return present;
    }();
    return shells;
}

QString shellConfigDir() {
    // The directory of the running executable as the kernel reports it: argv[0] lacks a directory
    // when the program was started through PATH, and joining it to the working directory would
    // point somewhere unrelated.
    static const QString dir = QDir(QCoreApplication::applicationDirPath()).filePath("shell");
    return dir;
}

QString chooseShell(const QString& requested, const QString& environmentShell, const QString& passwdShell) {
    for (const QString& candidate : {requested, environmentShell, passwdShell})
        if (isExecutableFile(candidate)) return candidate;
    return QStringLiteral("/bin/sh");
}

QString chooseShell(const QString& requested) {
    if (isExecutableFile(requested)) return requested;
    QString passwdShell;
    if (const passwd* entry = ::getpwuid(::getuid()); entry && entry->pw_shell)
        passwdShell = QFile::decodeName(entry->pw_shell);
    return chooseShell(requested, qEnvironmentVariable("SHELL"), passwdShell);
}

QString loginArgument(const QString& shellPath) {
    const QString name = QFileInfo(shellPath).fileName();
    if (name == QLatin1String("sh") || name == QLatin1String("dash")) return QStringLiteral("-l");
    return QStringLiteral("--login");
}
