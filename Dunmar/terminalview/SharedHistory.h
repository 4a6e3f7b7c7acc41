#pragma once

#include "terminalview/HistoryIndex.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

// One history index per home folder, shared by every pane. A large history held once per pane
// multiplied its memory by the number of panes (ten split tabs held ten copies); now the panes
// hold the same immutable index, which is read again only when a history file has changed since,
// and freed when the last pane lets go of it. Main thread only; the reading runs on the pool.
class SharedHistory : public QObject {
    Q_OBJECT
public:
    using Index = std::shared_ptr<const HistoryIndex>;

    static SharedHistory& instance();

    // Hands the index for `homeDirectory` to `done` on the main thread, at once when a current one
    // is held, else once it is read. Panes asking while a read runs wait for that same read.
    // Nothing is called once `context` is gone.
    void request(const QString& homeDirectory, QObject* context, std::function<void(Index)> done);

    // How many times history files were read (for tests).
    int loadCount() const { return loads_; }

private:
    // Sizes and modification times of the two history files: a change of either means a new read.
    QString stampOf(const QString& homeDirectory) const;

    struct Waiter {
        QPointer<QObject> context;
        std::function<void(Index)> done;
    };
    struct Entry {
        QString stamp;
        std::weak_ptr<const HistoryIndex> index;
        bool loading = false;
        QString loadingStamp;
        std::vector<Waiter> waiters;
    };
    QHash<QString, Entry> entries_;
    int loads_ = 0;
};
