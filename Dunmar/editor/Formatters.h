#pragma once

#include "editor/SyntaxLanguage.h"

#include <QString>
#include <QStringList>
#include <optional>

// Which external formatter a language goes through, and where the formatters are looked for.
namespace formatters {

struct Formatter {
    QString tool;     // looked up by name in the search folders
    QStringList args; // the document comes on standard input
    QString hint;     // how to get the tool, told when it is missing
};

// The formatter of a language: prettier through npx for HTML (its file name carries the tab's
// extension, "html" without a file), CSS and JavaScript; black for Python; swift-format for
// Swift. None for JSON (formatted in-process) and for every other language.
std::optional<Formatter> externalFormatter(SyntaxLanguage language, const QString& fileExtension);

// Where a formatter is looked for, in this order: the user's nvm and local folders, then the
// system's: "$HOME/.nvm/current/bin", "$HOME/.local/bin", "/usr/local/bin", "/usr/bin".
QStringList defaultSearchDirs();
// The first executable file `name` in `dirs`; none when no folder has one.
std::optional<QString> findExecutable(const QString& name, const QStringList& dirs);
// The PATH a formatter runs with: the search folders first, so that npx finds node and prettier.
QString formatterPath(const QStringList& dirs, const QString& inheritedPath);

} // namespace formatters
