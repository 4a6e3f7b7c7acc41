#include "terminalview/ChildReaper.h"

#include <QSocketNotifier>
#include <QTimer>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {
int wakeWriteFd = -1;
struct sigaction previousAction {};

void onChildSignal(int signal, siginfo_t* info, void* context) {
    const int savedErrno = errno;
    if (wakeWriteFd >= 0) {
        const char byte = 1;
        [[maybe_unused]] const ssize_t ignored = ::write(wakeWriteFd, &byte, 1);
    }
    errno = savedErrno;
    // Whoever handled SIGCHLD before us keeps getting it.
    if (previousAction.sa_flags & SA_SIGINFO) {
        if (previousAction.sa_sigaction) previousAction.sa_sigaction(signal, info, context);
    } else if (previousAction.sa_handler != SIG_DFL && previousAction.sa_handler != SIG_IGN &&
               previousAction.sa_handler != nullptr) {
        previousAction.sa_handler(signal);
    }
}

constexpr int kFallbackPollMs = 1000;
} // namespace

ChildReaper& ChildReaper::shared() {
    // Lives for the whole process: children of closed tabs may end after every view is gone.
    static ChildReaper* reaper = new ChildReaper;
    return *reaper;
}

ChildReaper::ChildReaper() {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) == 0) {
        wakeWriteFd = fds[1];
        wakeNotifier_ = new QSocketNotifier(fds[0], QSocketNotifier::Read, this);
        connect(wakeNotifier_, &QSocketNotifier::activated, this, [this, readFd = fds[0]] {
            char buffer[64];
            while (::read(readFd, buffer, sizeof buffer) > 0) {
            }
            collect();
        });
        struct sigaction action {};
        action.sa_sigaction = onChildSignal;
        action.sa_flags = SA_SIGINFO | SA_RESTART;
        sigemptyset(&action.sa_mask);
        ::sigaction(SIGCHLD, &action, &previousAction);
    }
    fallbackPoll_ = new QTimer(this);
    fallbackPoll_->setInterval(kFallbackPollMs);
    connect(fallbackPoll_, &QTimer::timeout, this, &ChildReaper::collect);
}

void ChildReaper::reap(pid_t pid) {
    if (pid <= 0) return;
    watched_.insert(pid);
    collect();
}

void ChildReaper::collect() {
    const QSet<pid_t> candidates = watched_;
    for (const pid_t pid : candidates) {
        int status = 0;
        pid_t result;
        do {
            result = ::waitpid(pid, &status, WNOHANG);
        } while (result < 0 && errno == EINTR);
        if (result == 0) continue;
        watched_.remove(pid);
        // ECHILD: not ours to wait for, or already collected elsewhere; nothing to report.
        if (result == pid) emit reaped(pid, status);
    }
    if (watched_.isEmpty())
        fallbackPoll_->stop();
    else if (!fallbackPoll_->isActive())
        fallbackPoll_->start();
}
