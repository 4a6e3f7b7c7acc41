#pragma once

#include <QFutureWatcher>
#include <QObject>
#include <QtConcurrent/QtConcurrentRun>
#include <type_traits>
#include <utility>

// Runs blocking `work` on the thread pool and hands its result to `done` on `context`'s thread.
// Nothing is reported when `context` is gone by then; the work itself holds only copies.
template <typename Work, typename Done> void runOffThread(QObject* context, Work work, Done done) {
    using Result = std::invoke_result_t<Work>;
    auto* watcher = new QFutureWatcher<Result>(context);
    QObject::connect(watcher, &QFutureWatcherBase::finished, context, [watcher, done = std::move(done)] {
        done(watcher->result());
        watcher->deleteLater();
    });
    watcher->setFuture(QtConcurrent::run(std::move(work)));
}
