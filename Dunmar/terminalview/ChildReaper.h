#pragma once

#include <QObject>
#include <QSet>
#include <sys/types.h>

class QSocketNotifier;
class QTimer;

// Collects the exit status of ended shells so that none lingers as a zombie, without ever blocking
// the GUI thread. SIGCHLD wakes a self-pipe that a socket notifier watches; each wake-up asks every
// watched child with waitpid(WNOHANG). Only watched children are waited for, so children of other
// parts of the program (QProcess, for one) are left to their owners. Main thread only.
class ChildReaper : public QObject {
    Q_OBJECT
public:
    static ChildReaper& shared();

    // Takes over reaping pid. A child handed over twice is still reaped once.
    void reap(pid_t pid);
    bool isWatching(pid_t pid) const { return watched_.contains(pid); }
    int watchedCount() const { return int(watched_.size()); }

signals:
    // Once per child, with its wait status.
    void reaped(pid_t pid, int status);

private:
    ChildReaper();
    void collect();

    QSet<pid_t> watched_;
    QSocketNotifier* wakeNotifier_ = nullptr;
    // A slow second chance in case another component replaced the SIGCHLD handler without chaining.
    QTimer* fallbackPoll_ = nullptr;
};
