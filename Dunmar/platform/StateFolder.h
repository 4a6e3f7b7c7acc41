#pragma once

#include <QString>

// Where the program keeps the files it makes for itself that are no settings: the crash log, the
// shells' history files, the usage monitor's log. Linux desktops keep such state under
// $XDG_STATE_HOME (~/.local/state when the variable is unset or not an absolute path), not in a
// dot-folder of the home folder.
namespace statefolder {

// `xdgStateHome`/dunmar when it is an absolute path, else `home`/.local/state/dunmar.
QString pathFor(const QString& home, const QString& xdgStateHome);
// With the environment's XDG_STATE_HOME.
QString pathFor(const QString& home);
// The user's: the environment's XDG_STATE_HOME and home folder.
QString path();

} // namespace statefolder
