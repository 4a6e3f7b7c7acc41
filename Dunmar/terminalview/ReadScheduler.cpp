#include "terminalview/ReadScheduler.h"

#include "terminalview/PtySession.h"

#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <vector>

ReadScheduler& ReadScheduler::shared() {
    static ReadScheduler* scheduler = new ReadScheduler; // lives until the process ends
    return *scheduler;
}

bool ReadScheduler::isQueued(const PtySession* session) const {
    return std::any_of(pending_.begin(), pending_.end(),
                       [session](const QPointer<PtySession>& p) { return p.data() == session; });
}

void ReadScheduler::enqueue(PtySession* session) {
    if (!session || isQueued(session)) return;
    pending_.push_back(session);
    schedule();
}

void ReadScheduler::schedule() {
    if (scheduled_) return;
    scheduled_ = true;
    // A zero timer runs after the events already waiting (keys, paints) have been handled.
    QTimer::singleShot(0, this, &ReadScheduler::runPass);
}

void ReadScheduler::runPass() {
    scheduled_ = false;
    std::vector<QPointer<PtySession>> batch(pending_.begin(), pending_.end());
    pending_.clear();
    // The pane in sight first; among equals the queue's order, which puts the panes left over
    // from the last pass ahead of those that were read.
    std::vector<int> priority;
    priority.reserve(batch.size());
    for (const QPointer<PtySession>& s : batch) priority.push_back(s ? s->currentReadPriority() : -1);
    std::vector<std::size_t> order(batch.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return priority[a] > priority[b]; });

    PtySession::ReadBudget budget;
    budget.clock.start();
    std::vector<QPointer<PtySession>> notReached, readWithMoreLeft;
    int served = 0;
    for (std::size_t i : order) {
        QPointer<PtySession> session = batch[i];
        if (!session) continue;
        // Two panes are served in every pass even when the first spent the budget, so that a pane
        // in sight that floods cannot starve the others: they take turns in the second place.
        if (budget.spent() && served >= 2) {
            notReached.push_back(session);
            continue;
        }
        ++served;
        if (session->readSome(budget) == PtySession::ReadResult::moreLeft && session)
            readWithMoreLeft.push_back(session);
    }
    // Panes that asked during the pass are already queued; those left over go before them.
    std::deque<QPointer<PtySession>> next;
    for (auto& s : notReached) next.push_back(s);
    for (auto& s : readWithMoreLeft) next.push_back(s);
    for (auto& s : pending_)
        if (s && std::none_of(next.begin(), next.end(),
                              [&](const QPointer<PtySession>& n) { return n.data() == s.data(); }))
            next.push_back(s);
    pending_.swap(next);
    if (!pending_.empty()) schedule();
}
