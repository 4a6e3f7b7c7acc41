#pragma once

#include <QString>

// Launch at login through the desktop's autostart folder: a desktop entry named
// "com.glimmerdock.autostart.desktop" in $XDG_CONFIG_HOME/autostart (~/.config/autostart when the
// variable is unset) that starts the program when the user logs in. The program never reads the
// entry back; the "autoStartEnabled" setting is the state of the switch.
namespace autostart {

inline constexpr const char* kEntryName = "com.glimmerdock.autostart.desktop";

// Where the entry lives, read from the environment at each call.
QString entryPath();

// `path` as one argument of an Exec line: double-quoted with `"`, `` ` ``, `$` and `\` escaped
// by a backslash, then every backslash doubled because the value is also a desktop-entry string
// (a literal backslash ends up as four), and `%` written as `%%` so that it is no field code.
QString quoteExecArgument(const QString& path);

// The entry's text for an executable at `executablePath`.
QString desktopEntry(const QString& executablePath);

// Writes the entry (creating the folder), replacing an earlier one. False with a reason in
// `error` when the path cannot be expressed in an entry or the file cannot be written.
bool install(const QString& executablePath, QString* error = nullptr);
// Removes the entry; a missing entry is not an error. False with a reason when it stays.
bool remove(QString* error = nullptr);

} // namespace autostart
