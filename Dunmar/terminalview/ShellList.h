#pragma once

#include <QList>
#include <QString>

// The shells the footer offers and the rules for starting one of them.
struct ShellEntry {
    QString name;
    QString path;
    bool operator==(const ShellEntry&) const = default;
};

// zsh, bash and sh, in that order, keeping those installed as executables. Built once per process.
const QList<ShellEntry>& availableShells();

// The folder beside the executable that holds the prompt-theme scripts ("<exe dir>/shell").
QString shellConfigDir();

// True when path names an executable regular file.
bool isExecutableFile(const QString& path);

// The shell actually started for a requested path. A requested shell that is not executable (zsh is
// the default but often missing on Linux) falls back to the user's login shell: $SHELL, then the
// passwd entry, then /bin/sh. Empty candidates and non-executable ones are skipped.
QString chooseShell(const QString& requested, const QString& environmentShell, const QString& passwdShell);
// The same with $SHELL and the passwd entry of the current user.
QString chooseShell(const QString& requested);

// The option that makes the shell a login shell: "-l" for the POSIX sh family (sh and dash know no
// "--login"), "--login" for every other shell.
QString loginArgument(const QString& shellPath);
