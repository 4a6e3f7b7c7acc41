#pragma once

#include <QString>
#include <QStringList>

// The shell prompt themes: their names, in the order of the settings panel's cards, and the
// command line that switches a running shell to one of them.
namespace settings {

// "default", "cyberpunk", "minimal", "powerline", "retro", "lambda", "starship".
const QStringList& promptThemeNames();
// The name at an index; an index outside the list gives "default".
QString promptThemeName(qint64 index);
// The position of a stored name in the list; an unknown name gives 0 ("default").
int promptThemeIndex(const QString& name);

// Wraps text in single quotes for a POSIX shell, so that the shell reads it back unchanged
// whatever it holds: a single quote inside becomes '\''.
QString shellSingleQuote(const QString& text);

// The line typed into a shell to switch its prompt: it exports PK_PROMPT_THEME and sources the
// loader in "<shellConfigDir>/themes", then clears the screen. It begins with a space (shells
// that ignore space-prefixed lines keep it out of the history) and ends with a line feed. Every
// value is quoted, so a folder or name with quotes, spaces or `$` cannot break out of it.
QString promptThemeCommand(const QString& themeName, const QString& shellConfigDir);

} // namespace settings
