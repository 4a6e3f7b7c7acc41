#pragma once

#include <sys/types.h>

// Whether the shell of a pane is the program in the foreground of its terminal: the terminal's
// foreground process group is the shell's own. False while the shell runs a job in the foreground
// (an editor, ssh, sudo asking for a password, a pager), and when the terminal or the shell is gone,
// so that text meant for the shell's command line never reaches another program.
bool shellOwnsTerminal(int masterFd, pid_t shellPid);
