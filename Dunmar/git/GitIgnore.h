#pragma once

#include <QString>
#include <optional>

// The ".gitignore" line that ignores exactly `path` (relative to the top level): anchored with
// "/", and with the characters git reads as patterns escaped, so "#notes", "!x" or "a*b" name
// that file alone. Nothing for a name no line can hold (one with a line break).
std::optional<QString> gitignoreLine(const QString& path);

enum class IgnoreOutcome { added, alreadyIgnored, failed };

// Appends the line for `path` to `gitRoot`/.gitignore unless the file already holds it; the file
// is replaced atomically, so a failed write leaves it as it was. Blocks.
IgnoreOutcome addToGitignoreFile(const QString& gitRoot, const QString& path);
