#include "terminalview/SharedHistory.h"

#include "terminalview/ShellHistory.h"

#include <QDateTime>
#include <QFileInfo>
#include <QFutureWatcher>
#include <QtConcurrent/QtConcurrentRun>

SharedHistory& SharedHistory::instance() {
    static SharedHistory* shared = new SharedHistory; // lives until the process ends
    return *shared;
}

QString SharedHistory::stampOf(const QString& homeDirectory) const {
    QString stamp;
    for (const char* name : {"/.zsh_history", "/.bash_history"}) {
        const QFileInfo info(homeDirectory + QLatin1String(name));
        stamp += info.exists()
                     ? QStringLiteral("%1@%2;").arg(info.size()).arg(info.lastModified().toMSecsSinceEpoch())
                     : QStringLiteral("-;");
    }
    return stamp;
}

void SharedHistory::request(const QString& homeDirectory, QObject* context, std::function<void(Index)> done) {
    Entry& entry = entries_[homeDirectory];
    const QString stamp = stampOf(homeDirectory);
    if (Index held = entry.index.lock(); held && entry.stamp == stamp) {
        done(std::move(held));
        return;
    }
    entry.waiters.push_back({QPointer<QObject>(context), std::move(done)});
    if (entry.loading && entry.loadingStamp == stamp) return;

    entry.loading = true;
    entry.loadingStamp = stamp;
    ++loads_;
    auto* watcher = new QFutureWatcher<Index>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher, homeDirectory, stamp] {
        watcher->deleteLater();
        Entry& finished = entries_[homeDirectory];
        // A newer read (a file changed meanwhile) answers its own waiters.
        if (finished.loadingStamp != stamp) return;
        const Index index = watcher->result();
        finished.loading = false;
        finished.stamp = stamp;
        finished.index = index;
        std::vector<Waiter> waiters;
        waiters.swap(finished.waiters);
        for (Waiter& waiter : waiters)
            if (waiter.context) waiter.done(index);
    });
    watcher->setFuture(QtConcurrent::run([homeDirectory]() -> Index {
        return std::make_shared<const HistoryIndex>(
            shellhistory::loadShellHistory(homeDirectory, HistoryIndex::kMaxEntries));
    }));
}
