#pragma once

#include <QObject>
#include <functional>

class QSocketNotifier;

// SIGTERM (logout, shutdown, `kill`) must not end the program inside the signal handler: nothing
// would be saved, and almost nothing is safe to call there. The handler only writes a byte into a
// pipe; the main loop reads it and runs `onTerminate`, which saves and quits without asking.
class TermSignalHandler : public QObject {
    Q_OBJECT
public:
    // Installs the handler and the pipe. Called early by the entry point, before the application
    // object exists; a signal that arrives before the main loop runs waits in the pipe. Safe to
    // call more than once. False when the pipe or the handler could not be set up.
    static bool installEarly();

    // Starts reading the pipe on the main loop (installing the handler first when needed).
    explicit TermSignalHandler(QObject* parent = nullptr);
    ~TermSignalHandler() override;

    // Runs on the main thread, once per burst of signals.
    std::function<void()> onTerminate;

private:
    void drain();

    QSocketNotifier* notifier_ = nullptr;
};
