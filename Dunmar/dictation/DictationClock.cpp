#include "dictation/DictationClock.h"

DictationClock::TimerId QtDictationClock::schedule(int ms, std::function<void()> callback) {
    const TimerId id = next_++;
    auto timer = std::make_unique<QTimer>();
    timer->setSingleShot(true);
    timer->setInterval(ms);
    QObject::connect(timer.get(), &QTimer::timeout, &context_, [this, id, callback = std::move(callback)] {
        // The timer goes before the callback runs: the callback may schedule or cancel others.
        auto it = timers_.find(id);
        if (it == timers_.end()) return;
        it->second.release()->deleteLater();
        timers_.erase(it);
        callback();
    });
    timer->start();
    timers_.emplace(id, std::move(timer));
    return id;
}

void QtDictationClock::cancel(TimerId id) {
    timers_.erase(id);
}
