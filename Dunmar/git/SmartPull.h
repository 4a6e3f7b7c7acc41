#pragma once

#include "git/GitOutcome.h"
#include "git/GitRunner.h"

// A pull that keeps the user's uncommitted work: local changes are stashed first and restored
// afterwards, and a pull that fails is aborted so no half-done merge is left behind. Blocks.
GitOutcome smartPull(const QString& cwd, const GitTimeLimits& limits);
