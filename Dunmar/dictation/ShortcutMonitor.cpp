#include "dictation/ShortcutMonitor.h"

#include "chrome/DictationControl.h"

#include <QCoreApplication>
#include <QKeyEvent>

ShortcutMonitor::ShortcutMonitor(DictationControl& dictation, QObject* parent)
    : QObject(parent), dictation_(dictation) {}

ShortcutMonitor::~ShortcutMonitor() {
    stop();
}

void ShortcutMonitor::start() {
    if (watching_ || !QCoreApplication::instance()) return;
    QCoreApplication::instance()->installEventFilter(this);
    watching_ = true;
}

void ShortcutMonitor::stop() {
    if (watching_ && QCoreApplication::instance()) QCoreApplication::instance()->removeEventFilter(this);
    watching_ = false;
    keyIsDown_ = false;
}

bool ShortcutMonitor::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::KeyRelease) return QObject::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    constexpr Qt::KeyboardModifiers kChordBits =
        Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;
    const bool matches = key->key() == Qt::Key_Space &&
                         (key->modifiers() & kChordBits) == (Qt::ShiftModifier | Qt::ControlModifier);
    if (!matches) return QObject::eventFilter(watched, event);
    // X11 repeats a held key as release-and-press pairs marked as repeats: only the real edges act.
    if (!key->isAutoRepeat()) {
        if (type == QEvent::KeyPress && !keyIsDown_) {
            keyIsDown_ = true;
            dictation_.start();
        } else if (type == QEvent::KeyRelease && keyIsDown_) {
            keyIsDown_ = false;
            dictation_.stopAndCommit();
        }
    }
    return true;
}
