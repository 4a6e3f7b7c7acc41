#include "app/EventHook.h"

EventHook::EventHook(QObject* target, Handler handler, QObject* parent)
    : QObject(parent), handler_(std::move(handler)) {
    if (target) target->installEventFilter(this);
}

bool EventHook::eventFilter(QObject* watched, QEvent* event) {
    if (handler_) handler_(watched, event);
    return false;
}
