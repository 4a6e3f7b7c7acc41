#pragma once

#include <QString>

// Folders and files only their user may read: the settings, the shells' history, the crash log and
// the picker's browser profile hold paths, host names, typed commands and cookies.
namespace privatefolder {

// Makes `folder` (missing parents too, each with mode 0700) or takes the existing one, which must
// be a folder of this user; its mode becomes 0700 when it was wider. False, with `problem` saying
// why, when it is something else or belongs to another user: such a folder was put there by
// someone else and is not used.
bool ensure(const QString& folder, QString* problem = nullptr);

// Takes the group's and others' permissions off `path` and, when it is a folder, off everything
// below it (0644 becomes 0600, 0755 becomes 0700). Links are not followed and what belongs to
// another user is left as it is.
void restrictTree(const QString& path);

} // namespace privatefolder
