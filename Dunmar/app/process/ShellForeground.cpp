#include "app/process/ShellForeground.h"

#include <unistd.h>

bool shellOwnsTerminal(int masterFd, pid_t shellPid) {
    if (masterFd < 0 || shellPid < 1) return false;
    // Linux answers the slave side's foreground group when asked on the master.
    const pid_t foreground = ::tcgetpgrp(masterFd);
    const pid_t shellGroup = ::getpgid(shellPid);
    return foreground > 0 && shellGroup > 0 && foreground == shellGroup;
}
