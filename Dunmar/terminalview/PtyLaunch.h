#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <sys/ioctl.h>
#include <sys/types.h>
#include <termios.h>
#include <utility>

// Everything a new shell needs, prepared in the parent. The forked child of a threaded process may
// only call async-signal-safe functions, so no allocation, no setenv and no string building happens
// between fork and exec: the child only changes directory and executes.
struct PtyLaunchPlan {
    QByteArray shellPath;
    QList<QByteArray> arguments;   // argv, the shell's full path first
    QList<QByteArray> environment; // "NAME=value" entries, inherited ones with ours overriding
    QByteArray workingDirectory;
    QByteArray historyDirectory; // made (mode 0700) before the child starts
};

struct PtyLaunchOptions {
    QString shellPath; // the shell to execute (already resolved)
    QString workingDirectory;
    QString homeDirectory;
    QString tabId;
    bool syntaxHighlighting = false;
    QString promptTheme;
};

// The history folder in the state folder of a home directory, and the per-tab history file in it.
QString historyDirectoryFor(const QString& home);
QString historyFileFor(const QString& home, const QString& tabId);

// The locale the shell runs in: "en_US.UTF-8" when this system has it installed, else "C.UTF-8"
// (always present with glibc), so that programs neither warn about a missing locale nor fall back
// to ASCII. Decided once per process.
QByteArray shellLocaleName();
// True when the C library can load the named locale.
bool isLocaleInstalled(const char* name);

// Builds the argument vector, the child's environment (inherited plus ours, set with overwrite in a
// fixed order) and the chosen working directory (the given one unless empty, else home).
PtyLaunchPlan makeLaunchPlan(const PtyLaunchOptions& options, const QList<QByteArray>& inheritedEnvironment);
// The current process environment as "NAME=value" entries.
QList<QByteArray> currentEnvironment();

// The attributes of a freshly opened terminal: canonical input with echo, signals, CR to NL on input,
// NL to CR NL on output, 8-bit characters, 38400 baud, the usual control characters, all others off.
termios initialTermios();

struct PtyChild {
    int masterFd = -1; // non-blocking, close-on-exec
    pid_t pid = 0;
};

// Opens a pseudo-terminal with those attributes and that size, and starts the plan's shell on it as
// the leader of a new session with the terminal as its controlling terminal. Returns -1 and 0 on
// failure (no pseudo-terminal or no fork).
PtyChild spawnOnPty(const PtyLaunchPlan& plan, const termios& attributes, const winsize& size);
