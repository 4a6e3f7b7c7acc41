#pragma once

#include <QString>
#include <sys/types.h>

// The current directory of a process, read from /proc/<pid>/cwd. When it cannot be read (no such
// process, no permission, pid 0 or below) the answer is this program's own current directory, so
// callers always get a folder and never empty text. Safe on any thread.
QString cwdForPid(pid_t pid);
