#pragma once

#include "git/GitOutcome.h"
#include "git/GitRunner.h"

// The git work behind the panel's buttons, each run as the user's own git in the repository the
// panel shows; outcomes are the feedback line's. All block, so they run off the GUI thread.

// The folder becomes a repository; no text on success.
GitOutcome initRepository(const QString& folder, const GitTimeLimits& limits);

// Stages everything and commits it with `message`.
struct SaveOutcome {
    GitOutcome outcome;
    bool committed = false;    // the repository changed
    bool commitFailed = false; // git got as far as the commit, so the repository may show changes
};
SaveOutcome saveAll(const QString& topLevel, const QString& message, const GitTimeLimits& limits);

// Takes back the last commit, keeping its changes staged.
GitOutcome undoLastCommit(const QString& topLevel, const GitTimeLimits& limits);

// Pushes `branch` to its upstream branch on `remote`, or, without one, to a new branch of its name
// there that becomes its upstream.
GitOutcome upload(const QString& topLevel, const QString& remote, const QString& branch,
                  const QString& upstreamBranch, const GitTimeLimits& limits);

// A repository just made on the service becomes "origin" and gets `branch`.
GitActionResult publishToNewRemote(const QString& topLevel, const QString& url, const QString& branch,
                                   const GitTimeLimits& limits);
