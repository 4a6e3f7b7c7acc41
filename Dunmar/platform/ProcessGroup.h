#pragma once

#include <QtGlobal>

class QProcess;

// Children that start helpers of their own (npx starts node, git starts ssh and remote helpers, a
// script starts sleep) are ended with everything they started: the child leads a process group of
// its own, and the whole group is killed.
namespace processgroup {

// Makes `process`, when it starts, the leader of a new session and process group. Call before
// QProcess::start.
void startInOwnGroup(QProcess& process);

// SIGKILL to every process of the group that `leader` (a pid from QProcess::processId) leads.
// Nothing for a pid of 0 or below.
void killGroup(qint64 leader);

} // namespace processgroup
