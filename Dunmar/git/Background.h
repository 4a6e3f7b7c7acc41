#pragma once

#include <QCoreApplication>
#include <QMetaObject>
#include <QPointer>
#include <QThreadPool>
#include <functional>
#include <utility>

// Runs `work` on a worker of the shared pool and hands its result to `done` on the main thread,
// unless `context` has gone by then; the work itself touches nothing of `context`.
template <typename Result>
void runInBackground(QObject* context, std::function<Result()> work, std::function<void(Result)> done) {
    QPointer<QObject> guard(context);
    QThreadPool::globalInstance()->start([guard, work = std::move(work), done = std::move(done)] {
        Result result = work();
        QCoreApplication* app = QCoreApplication::instance();
        if (!app) return; // the program has ended meanwhile
        QMetaObject::invokeMethod(
            app,
            [guard, done, result = std::move(result)]() mutable {
                if (guard && done) done(std::move(result));
            },
            Qt::QueuedConnection);
    });
}
