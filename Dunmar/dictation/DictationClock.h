#pragma once

#include <QObject>
#include <QTimer>
#include <functional>
#include <map>
#include <memory>

// The manager's timers (the stop time, the stop check and the error's return to idle) behind one
// small interface, so that the state machine can be stepped through time without waiting for it.
class DictationClock {
public:
    using TimerId = int;
    virtual ~DictationClock() = default;
    // Runs `callback` once, `ms` milliseconds from now, on the main thread.
    virtual TimerId schedule(int ms, std::function<void()> callback) = 0;
    // A timer that has not fired yet never fires; an unknown or fired id is ignored.
    virtual void cancel(TimerId id) = 0;
};

// The real clock: single-shot QTimers that die with the clock.
class QtDictationClock final : public DictationClock {
public:
    TimerId schedule(int ms, std::function<void()> callback) override;
    void cancel(TimerId id) override;

private:
    QObject context_;
    std::map<TimerId, std::unique_ptr<QTimer>> timers_;
    TimerId next_ = 1;
};
