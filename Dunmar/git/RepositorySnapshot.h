#pragma once

#include "git/GitRunner.h"
#include "git/GitStatus.h"

#include <QString>
#include <optional>
#include <vector>

// What one refresh learns of the repository that contains a folder.
struct RepositorySnapshot {
    bool isRepo = false;
    QString branch; // empty on a detached HEAD
    bool hasRemote = false;
    int ahead = 0;
    int behind = 0;
    std::vector<GitFileEntry> entries;
    QString projectName;             // the last component of the folder followed
    std::optional<QString> topLevel; // set exactly when isRepo
    std::optional<QString> lastCommit;
    // "status" gave no answer: `entries` says nothing, and the state shown before stays.
    bool statusFailed = false;
};

// Runs the refresh's git commands one after another in `cwd`; blocks, so it runs off the GUI thread.
RepositorySnapshot takeRepositorySnapshot(const QString& cwd, const GitTimeLimits& limits);
