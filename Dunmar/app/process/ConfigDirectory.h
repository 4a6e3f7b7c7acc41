#pragma once

#include <QString>

// The program's own folder in the home directory, "~/.glimmerdock": the crash log and the files
// of the subsystems live there.
namespace configdir {

QString path(const QString& home);
// The folder the program used under its former name.
QString formerPath(const QString& home);

// Creates the folder with mode 0755; an existing folder is the normal case and any failure is
// left to the writers of files in it.
void ensureExists(const QString& home);

enum class Takeover {
    nothingToTakeOver, // no former folder
    folderInUse,       // the current folder already holds files; neither is touched
    tookOver,          // the former folder's content is now the current folder; the former is gone
    failed,            // the copy failed; both folders are as they were
};

// Moves the former folder's content into the current folder when the current one is missing or
// still empty (the entry point creates it before the launch gets here). The copy is made beside
// the target and renamed into place, so a failure halfway leaves no half-filled folder behind.
Takeover takeOverFormerFolder(const QString& home);

} // namespace configdir
