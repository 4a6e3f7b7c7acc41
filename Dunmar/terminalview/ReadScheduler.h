#pragma once

#include <QObject>
#include <QPointer>
#include <deque>

class PtySession;

// One budget of reading for all panes per turn of the event loop. A pane whose shell has output
// does not read it at once: it joins the queue, and one pass reads the queued panes in turn, the
// pane the user sees (and types into) first, until the budget is spent (a second pane is always
// served too, so none starves); panes left over go first at the next pass, after the event loop
// has handled input and painting. With a budget per pane,
// twenty tabs each flooding output took twenty budgets per turn and typing lagged by a third of a
// second. Main thread only.
class ReadScheduler : public QObject {
    Q_OBJECT
public:
    static ReadScheduler& shared();

    // The pane has output waiting; it is read at the next pass (once, however often it asks).
    void enqueue(PtySession* session);
    bool isQueued(const PtySession* session) const;

    // What one pass may read, over all panes together.
    static constexpr qsizetype kBudgetBytes = 1 << 20;
    static constexpr int kBudgetMs = 16;

private:
    void schedule();
    void runPass();

    std::deque<QPointer<PtySession>> pending_;
    bool scheduled_ = false;
};
