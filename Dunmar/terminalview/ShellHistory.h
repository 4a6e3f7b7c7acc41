#pragma once

// Reading the user's zsh and bash history files into the list that history suggestions come from.
// Runs off the main thread: nothing here touches a view.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstddef>

namespace shellhistory {

// Of a history file larger than this only the end is read: the newest lines are the ones kept, and
// a file grown without bound must not be loaded whole into every pane.
inline constexpr qint64 kMaxFileBytes = 32 * 1024 * 1024;

// zsh writes bytes that it uses internally (0x83 to 0xA2, which includes parts of most UTF-8
// characters) as 0x83 followed by the byte with bit 5 flipped.
QByteArray unmetafyZsh(const QByteArray& bytes);

// The text of a history file: UTF-8, else ISO Latin-1.
QString decodeHistoryText(const QByteArray& bytes);

// The commands of a zsh history file in file order. Lines beginning with a tab are skipped; a line
// in the extended format (": start:elapsed;command") gives its command; every line is trimmed and
// empty ones are skipped.
QStringList parseZshHistory(const QByteArray& bytes);
// The commands of a bash history file in file order; time-stamp lines ("#...") are skipped.
QStringList parseBashHistory(const QByteArray& bytes);

// The zsh lines, then the bash lines, walked from the end: each distinct line once, newest first,
// at most `limit` of them.
QStringList newestFirstDistinct(const QStringList& zshLines, const QStringList& bashLines, std::size_t limit);

// The last kMaxFileBytes of a file (from the first line that begins inside them), or empty when it
// cannot be read.
QByteArray readFileTail(const QString& path);

// ".zsh_history" and ".bash_history" of the home directory, newest first, at most `limit` lines.
QStringList loadShellHistory(const QString& homeDirectory, std::size_t limit);

} // namespace shellhistory
