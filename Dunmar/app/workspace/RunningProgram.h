#pragma once

#include <QString>
#include <optional>
#include <sys/types.h>

// The program a pane's shell is running in the foreground of its terminal (vim, less, a build),
// by the name the kernel keeps for it; none while the shell itself has the terminal, or when the
// terminal or the shell is gone.
std::optional<QString> foregroundProgramName(int masterFd, pid_t shellPid);
