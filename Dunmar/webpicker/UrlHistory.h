#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// The address bar's memory: visited addresses, newest first, each with its scheme, no two equal.
namespace urlhistory {

constexpr int kMaxEntries = 15;
constexpr int kMaxSuggestions = 5;

// The text without spaces and tabs at its ends; line breaks stay.
QString trimBlanks(const QString& text);

// The text as it is stored: trimmed of blanks, "http://" put before local addresses and "https://"
// before others when it holds no "://"; none when blank.
std::optional<QString> historyEntry(const QString& typed);
// The list after visiting `typed`: it moves to the front, the list keeps 15.
QStringList visited(QStringList history, const QString& typed);
// Up to five entries that hold the query (any case), newest first; the five newest for a blank query.
QStringList suggestions(const QStringList& history, const QString& query);

} // namespace urlhistory
