#pragma once

#include "git/GitRunner.h"

#include <QChar>
#include <QString>

// The diff text of `path` (relative to `topLevel`), or "No diff available" when git gives none.
// Runs git hardened in the top level, where the path means that file; blocks.
QString loadFileDiff(const QString& topLevel, const QString& path, QChar x, const GitTimeLimits& limits);
