#pragma once

#include "git/GitRunner.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

// What the panel needs to know of a repository's configuration (read with
// `gitcmd::configuration()`): the filter drivers it names, its remotes, and each branch's upstream.
struct RepositoryConfig {
    QStringList filterDrivers;
    QStringList remotes;                  // in the order the configuration lists them
    QHash<QString, QString> branchRemote; // branch name -> "branch.<name>.remote"
    QHash<QString, QString> branchMerge;  // branch name -> "branch.<name>.merge"
};

// Reads the "key\nvalue\0" (or "key\0" for a key without value) entries of "git config -z".
RepositoryConfig parseConfiguration(const QByteArray& output);

// Reads it in `cwd`; an empty configuration when git gives none. Blocks.
RepositoryConfig readRepositoryConfig(const QString& cwd, const GitTimeLimits& limits);
