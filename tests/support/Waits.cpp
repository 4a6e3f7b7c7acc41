#include "support/Waits.h"

#include <QAbstractAnimation>
#include <QAnimationGroup>
#include <QApplication>
#include <QTest>
#include <QTimer>
#include <QWidget>

namespace testsupport {

void drainEvents() {
    // A handler may post again (a queued call that ends in deleteLater); a few rounds take those too.
    for (int round = 0; round < 5; ++round) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
}

bool isAnimating(const QObject* root) {
    if (!root) return false;
    auto running = [](const QAbstractAnimation* a) {
        if (a->state() != QAbstractAnimation::Running) return false;
        // An animation inside a group that loops for ever (a pulse) never ends either.
        for (const QAbstractAnimation* up = a; up; up = up->group())
            if (up->totalDuration() < 0) return false;
        return true;
    };
    if (auto* self = qobject_cast<const QAbstractAnimation*>(root); self && running(self)) return true;
    for (const QAbstractAnimation* a : root->findChildren<QAbstractAnimation*>())
        if (running(a)) return true;
    return false;
}

bool waitForAnimationsToEnd(const QList<const QObject*>& roots, int timeoutMs) {
    // The roots outlive the wait (the test owns them); an animation deleted at its end is found no
    // more, which counts as ended.
    auto anyRunning = [&roots] {
        for (const QWidget* w : QApplication::topLevelWidgets())
            if (isAnimating(w)) return true;
        for (const QObject* root : roots)
            if (isAnimating(root)) return true;
        return false;
    };
    const bool ended = QTest::qWaitFor([&] { return !anyRunning(); }, timeoutMs);
    if (!ended) {
        // Name what still runs: a wait that never ends is otherwise hard to tell apart.
        auto report = [](const QObject* root) {
            QList<const QAbstractAnimation*> all;
            if (auto* self = qobject_cast<const QAbstractAnimation*>(root)) all << self;
            for (const QAbstractAnimation* a : root->findChildren<QAbstractAnimation*>()) all << a;
            for (const QAbstractAnimation* a : all)
                if (isAnimating(a) && a->findChildren<QAbstractAnimation*>().isEmpty())
                    qWarning("still running: %s (parent %s) %d ms", a->metaObject()->className(),
                             a->parent() ? a->parent()->metaObject()->className() : "none", a->totalDuration());
        };
        for (const QWidget* w : QApplication::topLevelWidgets()) report(w);
        for (const QObject* root : roots)
            if (root) report(root);
    }
    drainEvents();
    return ended;
}

bool waitForTimerStartedBefore(int ms) {
    bool fired = false;
    // A coarse timer (the kind a plain QTimer is) may be moved by up to 5 % of its length; the
    // witness expires after the latest moment such a timer can, and timers are handled in the
    // order they expire however loaded the machine is.
    QTimer::singleShot(ms + ms / 20 + 1, Qt::PreciseTimer, [&fired] { fired = true; });
    // A generous bound: the timer's own length plus room for a loaded machine.
    const bool ok = QTest::qWaitFor([&fired] { return fired; }, ms + 20000);
    drainEvents();
    return ok;
}

} // namespace testsupport
