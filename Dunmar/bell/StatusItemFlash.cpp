#include "bell/StatusItemFlash.h"

StatusItemFlash::StatusItemFlash(QObject* parent) : QObject(parent) {
    timer_.setInterval(kTickMs);
    connect(&timer_, &QTimer::timeout, this, &StatusItemFlash::tick);
}

void StatusItemFlash::start() {
    count_ = 0;
    timer_.start();
}

void StatusItemFlash::stop() {
    if (!timer_.isActive()) return;
    timer_.stop();
    if (onDimmedChanged) onDimmedChanged(false);
}

void StatusItemFlash::tick() {
    ++count_;
    if (count_ >= kTicks) {
        stop();
        return;
    }
    if (onDimmedChanged) onDimmedChanged(count_ % 2 == 0);
}
