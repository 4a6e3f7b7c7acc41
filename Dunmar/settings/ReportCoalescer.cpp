#include "settings/ReportCoalescer.h"

ReportCoalescer::ReportCoalescer(std::function<void(const QVariant&)> report, int intervalMs, QObject* parent)
    : QObject(parent), report_(std::move(report)) {
    window_.setSingleShot(true);
    window_.setInterval(intervalMs);
    connect(&window_, &QTimer::timeout, this, &ReportCoalescer::windowEnded);
}

void ReportCoalescer::push(const QVariant& value) {
    if (window_.isActive()) {
        pending_ = value;
        hasPending_ = true;
        return;
    }
    window_.start();
    if (report_) report_(value);
}

void ReportCoalescer::flush() {
    if (!hasPending_) return;
    const QVariant value = pending_;
    hasPending_ = false;
    pending_ = QVariant();
    if (report_) report_(value);
}

void ReportCoalescer::windowEnded() {
    if (!hasPending_) return;
    // The held value opens the next interval, so a steady drag reports once per interval.
    window_.start();
    flush();
}
