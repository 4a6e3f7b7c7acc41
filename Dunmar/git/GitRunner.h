#pragma once

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <optional>

// How long a git command may run before it is killed: the quick local queries of a refresh, and
// the commands that talk to a remote. Tests shorten them.
struct GitTimeLimits {
    int localMs = 10000;
    int networkMs = 60000;
};

// Whether git may take the index lock to refresh its stat cache. A background refresh must not:
// it would make a commit typed in a terminal at the same moment fail on "index.lock".
enum class GitLocks { allowed, avoided };

// The environment of every git child: the user's identity, configuration, credential helpers and
// SSH agent come from the inherited HOME, XDG_CONFIG_HOME, SSH_AUTH_SOCK and PATH; nothing else is
// inherited. git never asks on a terminal, and speaks the C locale so its answers parse.
QProcessEnvironment gitEnvironment(GitLocks locks);

// Standard output of a successful git run, less trailing line feeds and carriage returns; nothing
// when git could not start, failed, ran out of time or answered with text that is not UTF-8.
std::optional<QString> runGit(const QStringList& args, const QString& cwd, int timeLimitMs,
                              GitLocks locks = GitLocks::avoided);

// For commands whose failure text the user sees: success and trimmed standard output, or failure
// and trimmed standard error (the launch error when git could not start, a note when it timed out).
struct GitActionResult {
    bool success = false;
    QString output;
};
GitActionResult runGitAction(const QStringList& args, const QString& cwd, int timeLimitMs);

// The paths with unresolved merge conflicts, relative to the top level.
QStringList conflictedFiles(const QString& cwd, int timeLimitMs);
