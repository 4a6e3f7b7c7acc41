#pragma once

// Text that arrives from outside the terminal (the clipboard, a drop) made into shell input.

#include <QString>
#include <QStringList>

namespace pasting {

// The markers around a bracketed paste, ESC [ 200 ~ and ESC [ 201 ~.
inline constexpr char kPasteStart[] = "\x1b[200~";
inline constexpr char kPasteEnd[] = "\x1b[201~";

// A file path as one shell word: bare when it holds only letters and digits (any script) and the
// characters "/_.-+:@", else in single quotes, each "'" written as "'\''".
QString shellWordForPath(const QString& path);

// The words of several paths separated by single blanks.
QString shellWordsForPaths(const QStringList& paths);

} // namespace pasting
