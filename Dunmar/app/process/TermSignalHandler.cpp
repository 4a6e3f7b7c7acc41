#include "app/process/TermSignalHandler.h"

#include <QSocketNotifier>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

int gPipe[2] = {-1, -1};

void onSigterm(int) {
    const int saved = errno;
    const char byte = 1;
    // A full pipe already holds a wake-up; losing this byte loses nothing.
    const ssize_t ignored = ::write(gPipe[1], &byte, 1);
    (void)ignored;
    errno = saved;
}

} // namespace

bool TermSignalHandler::installEarly() {
    if (gPipe[0] >= 0) return true;
    if (::pipe2(gPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        gPipe[0] = gPipe[1] = -1;
        return false;
    }
    struct sigaction action {};
    action.sa_handler = onSigterm;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    return ::sigaction(SIGTERM, &action, nullptr) == 0;
}

TermSignalHandler::TermSignalHandler(QObject* parent) : QObject(parent) {
    if (!installEarly()) return;
    notifier_ = new QSocketNotifier(gPipe[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &TermSignalHandler::drain);
}

TermSignalHandler::~TermSignalHandler() = default;

void TermSignalHandler::drain() {
    char buffer[64];
    bool received = false;
    while (::read(gPipe[0], buffer, sizeof buffer) > 0) received = true;
    if (received && onTerminate) onTerminate();
}
