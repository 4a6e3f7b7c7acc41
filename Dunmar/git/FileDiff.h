#pragma once

#include <QChar>
#include <QString>
#include <QStringList>

// The git arguments of a changed file's diff: the staged changes when the index letter says it has
// some, else the work tree's. The path goes after "--", so a file named like an option
// ("--output=README.md") stays a path.
QStringList fileDiffArguments(const QString& path, QChar x);

// The diff text of `path` (relative to `topLevel`), or "No diff available" when git gives none.
// Runs git in the top level, where the path means that file; blocks.
QString loadFileDiff(const QString& topLevel, const QString& path, QChar x, int timeLimitMs);
