#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class TabList;

// The title a tab shows in the strip: the user's name when set (an editor tab's holds its file
// name); else, for a tab whose shell runs, its folder ("~" for the home folder, else the folder's
// last path component); else "~". A modified editor tab gets the prefix "• ".
QString tabTitle(const std::optional<QString>& customName, const std::optional<QString>& shellDirectory,
                 const QString& homeDirectory, bool editorDirty);

// "~" for the home folder, else the folder's last path component ("/" for the root).
QString directoryTitle(const QString& directory, const QString& homeDirectory);

// The titles of every tab in order. `shellDirectory` gives the current folder of a tab's primary
// shell, or none when the tab has no running shell (no pane, or a process id below 1).
QStringList tabTitles(const TabList& tabs,
                      const std::function<std::optional<QString>(int index)>& shellDirectory,
                      const QString& homeDirectory);
