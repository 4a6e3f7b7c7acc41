#pragma once

#include <string>
#include <sys/types.h>

// One running copy per user. The lock is an exclusive flock on a file in a folder only this user
// may write to: the runtime folder, else a private folder in the user's cache. A file in a shared
// folder (/tmp) would let another user create it first and keep every copy of ours from starting.
// The file's presence decides nothing; a lock left by a crashed copy ends with that process.
// Beside the lock lies the socket on which the running copy listens: a second start asks it to show
// its window, then leaves.
namespace instancelock {

// "$XDG_RUNTIME_DIR" when the variable names an absolute path; else "$XDG_CACHE_HOME/dunmar" when
// that is absolute; else "<home>/.cache/dunmar".
std::string lockFolderFor(const char* xdgRuntimeDir, const char* xdgCacheHome, const char* home);

// The folder for this process: the runtime folder only when it exists and is private.
std::string defaultLockFolder();

// Creates the folder (mode 0700, its parents as needed) when missing, and checks that it is this
// user's own: a folder (not a link to one), owned by this user, writable by no one else. False
// with the reason in `problem` otherwise.
bool ensurePrivateFolder(const std::string& folder, std::string* problem = nullptr);

std::string lockFilePath(const std::string& folder);   // folder + "/Dunmar.lock"
std::string socketFilePath(const std::string& folder); // folder + "/Dunmar.sock"

// Opens the file write-only (created with mode 0600 when missing, never written) and takes the
// lock without waiting. The descriptor, to be kept open for the life of the process, or -1 when
// the file cannot be opened or another process holds the lock. A file that belongs to another
// user is refused, and `problem` says so; a lock held by another copy of ours leaves it empty.
int acquire(const std::string& path, std::string* problem = nullptr);

// Asks the copy listening on `socketPath` to show its window. False when none answered.
bool askToShow(const std::string& socketPath);

// The one message of the socket.
inline constexpr char kShowMessage[] = "show\n";

} // namespace instancelock
