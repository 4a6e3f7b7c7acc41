#pragma once

#include <QAbstractAnimation>
#include <QApplication>
#include <QCoreApplication>
#include <QEnterEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QWidget>
#include <optional>

// Helpers shared by the chrome tests: pointer events sent straight to a view, and animations run
// to their end instead of waited for.
namespace chrometest {

// Runs every finite animation below `root` to its end (their completions run now); endless ones
// such as the bell's blink are left alone.
inline void finishAnimations(QObject* root) {
    for (int round = 0; round < 4; ++round) {
        QList<QPointer<QAbstractAnimation>> running;
        for (QAbstractAnimation* a : root->findChildren<QAbstractAnimation*>())
            if (!a->group() && a->state() == QAbstractAnimation::Running && a->totalDuration() >= 0)
                running << a;
        if (running.isEmpty()) return;
        for (const QPointer<QAbstractAnimation>& a : running)
            if (a) a->setCurrentTime(a->totalDuration());
    }
}

inline void enter(QWidget* w, QPointF at = QPointF(2, 2)) {
    QEnterEvent e(at, at, w->mapToGlobal(at));
    QApplication::sendEvent(w, &e);
}

inline void leave(QWidget* w) {
    QEvent e(QEvent::Leave);
    QApplication::sendEvent(w, &e);
}

// Sends one mouse event to `w`; unaccepted presses travel up to the parents as usual.
inline bool mouse(QWidget* w, QEvent::Type type, QPointF local, Qt::MouseButtons buttons = Qt::LeftButton,
                  std::optional<QPointF> global = std::nullopt) {
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent e(type, local, global.value_or(QPointF(w->mapToGlobal(local))), button, buttons,
                  Qt::NoModifier);
    QApplication::sendEvent(w, &e);
    return e.isAccepted();
}

inline void press(QWidget* w, QPointF at) {
    mouse(w, QEvent::MouseButtonPress, at);
}
inline void release(QWidget* w, QPointF at) {
    mouse(w, QEvent::MouseButtonRelease, at, Qt::NoButton);
}
inline void click(QWidget* w, QPointF at) {
    press(w, at);
    release(w, at);
}
inline void click(QWidget* w) {
    click(w, QRectF(w->rect()).center());
}

// Lets deferred deletions happen.
inline void flushDeletes() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

} // namespace chrometest
