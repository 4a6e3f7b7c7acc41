#pragma once

#include "git/ChildProcess.h"
#include "git/GitCommands.h"

#include <QString>
#include <QStringList>
#include <optional>

// How long a git command may run before it is killed: the quick local queries, and the commands
// that talk to a remote. Tests shorten them.
struct GitTimeLimits {
    int localMs = 10000;
    int networkMs = 60000;
};

// Runs `command` with the chosen git in `cwd` to its end; blocks, so it runs off the GUI thread.
// Nothing runs without a folder (never the program's own).
ChildRun runGitCommand(const GitCommand& command, const QString& cwd, const GitTimeLimits& limits);

// Standard output of a successful run, less trailing line feeds and carriage returns; nothing
// when git could not start, failed, ran out of time or answered with text that is not UTF-8.
std::optional<QString> runGit(const GitCommand& command, const QString& cwd, const GitTimeLimits& limits);

// For commands whose failure text the user sees: success and trimmed standard output, or failure
// and trimmed standard error (the launch error when git could not start, a note when it timed out).
struct GitActionResult {
    bool success = false;
    QString output;
};
GitActionResult runGitAction(const GitCommand& command, const QString& cwd, const GitTimeLimits& limits);

// The paths with unresolved merge conflicts, relative to the top level.
QStringList conflictedFiles(const QString& cwd, const GitTimeLimits& limits);
