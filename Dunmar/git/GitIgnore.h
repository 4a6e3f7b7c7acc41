#pragma once

#include <QString>
#include <optional>

// The ".gitignore" line that ignores exactly `path` (relative to the top level): anchored with
// "/", and with the characters git reads as patterns escaped, so "#notes", "!x" or "a*b" name
// that file alone. Nothing for a name no line can hold (one with a line break).
std::optional<QString> gitignoreLine(const QString& path);

enum class IgnoreOutcome { added, alreadyIgnored, failed };

// A larger ".gitignore" is no list of names to add one to.
inline constexpr qint64 kMaxGitignoreBytes = 16 * 1024 * 1024;

// Appends the line for `path` to `gitRoot`/.gitignore unless the file already holds it; the file
// is replaced atomically, so a failed write leaves it as it was, and one that cannot be read (a
// FIFO, a file over kMaxGitignoreBytes, no permission) is not touched. Blocks.
IgnoreOutcome addToGitignoreFile(const QString& gitRoot, const QString& path);
