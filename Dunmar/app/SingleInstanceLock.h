#pragma once

#include <string>
#include <sys/types.h>

// One running copy per user. The lock is an exclusive flock on a file in the user's own runtime
// directory: a file in the shared temporary directory would let one user's copy keep every other
// user's from starting. The file's presence decides nothing; a lock left by a crashed copy ends
// with that process.
namespace instancelock {

// "$XDG_RUNTIME_DIR/Dunmar.lock" when the variable names an absolute path, else
// "/tmp/Dunmar-<uid>.lock".
std::string lockFilePath(const char* xdgRuntimeDir, uid_t uid);

// The path for this process: the runtime directory is used only when it exists as a directory.
std::string defaultLockFilePath();

// Opens the file write-only (created with mode 0600 when missing, never written) and takes the
// lock without waiting. The descriptor, to be kept open for the life of the process, or -1 when
// the file cannot be opened or another process holds the lock.
int acquire(const std::string& path);

} // namespace instancelock
