#pragma once

#include <QString>

// The program's own folder, the state folder ($XDG_STATE_HOME/dunmar, platform/StateFolder): the
// crash log, the shells' history files and the usage monitor's log. The folders that earlier
// versions and the former product used are moved into it once.
namespace programfolder {

// "~/.glimmerdock": where earlier versions kept these files, as a macOS program would.
QString earlierPath(const QString& home);
// "~/.pocketshell": the folder of the program's former name.
QString formerPath(const QString& home);

// Creates the state folder (mode 0700, parents too) when it is missing, and takes the group's and
// others' permissions off it and everything in it: earlier versions made it 0755, and shells write
// their history files as their umask says. False, with `problem`, when it cannot be used (it
// belongs to another user, say); the writers of files in it then fail on their own.
bool ensurePrivate(const QString& stateFolder, QString* problem = nullptr);

enum class Move {
    nothingToMove, // no earlier folder
    moved,         // everything is in the state folder and the earlier folder is gone
    partlyMoved,   // names the state folder already had stay in the earlier folder, which stays
    failed,        // an entry could not be moved; it stays where it was
};

// Moves the earlier folder into `stateFolder`: in one rename when the state folder is missing or
// empty, else entry by entry, leaving in place any whose name the state folder already uses. An
// entry on another file system is copied beside its target and renamed into place, so a failure
// halfway leaves no half-copied entry. Once the earlier folder is empty it is removed: the move
// happens once, and nothing is made in the home folder again.
Move moveEarlierFolder(const QString& home, const QString& stateFolder);

enum class Takeover {
    nothingToTakeOver, // no former folder
    folderInUse,       // the state folder already holds files; neither is touched
    tookOver,          // the former folder's content is now the state folder; the former is gone
    failed,            // the copy failed; both folders are as they were
};

// Moves the former folder's content into the state folder when that is missing or still empty
// (the entry point creates it before the launch gets here). The copy is made beside the target and
// renamed into place, so a failure halfway leaves no half-filled folder behind.
Takeover takeOverFormerFolder(const QString& home, const QString& stateFolder);

} // namespace programfolder
