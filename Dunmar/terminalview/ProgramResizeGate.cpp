#include "terminalview/ProgramResizeGate.h"

#include "terminalview/TerminalViewHost.h"

#include <QGuiApplication>
#include <QWidget>

namespace {
constexpr auto kGateName = "programResizeGate";
} // namespace

ProgramResizeGate::ProgramResizeGate(QWidget* window) : QObject(window), window_(window) {
    setObjectName(QLatin1String(kGateName));
    deferred_.setSingleShot(true);
    connect(&deferred_, &QTimer::timeout, this, &ProgramResizeGate::apply);
}

ProgramResizeGate* ProgramResizeGate::of(const QWidget* window) {
    return window
               ? window->findChild<ProgramResizeGate*>(QLatin1String(kGateName), Qt::FindDirectChildrenOnly)
               : nullptr;
}

bool ProgramResizeGate::userIsResizing() {
    if (QGuiApplication::mouseButtons() & Qt::LeftButton) return true;
    const TerminalViewHost* host = TerminalViewHost::installed();
    return host && host->isUserResizingWindow();
}

void ProgramResizeGate::request(QWidget* window, QSize size) {
    if (!window || !size.isValid()) return;
    ProgramResizeGate* gate = of(window);
    if (!gate) gate = new ProgramResizeGate(window);
    gate->take(size);
}

bool ProgramResizeGate::isProgramSize(const QWidget* window) {
    const ProgramResizeGate* gate = of(window);
    return gate && gate->applied_ && window->size() == *gate->applied_;
}

void ProgramResizeGate::take(QSize size) {
    // The user's drag decides the size; a program's wish in the middle of it is dropped.
    if (userIsResizing()) return;
    pending_ = size;
    if (deferred_.isActive()) return; // the newest request goes out when the wait ends
    const qint64 since = sinceApplied_.isValid() ? sinceApplied_.elapsed() : kMinIntervalMs;
    if (since >= kMinIntervalMs) {
        apply();
    } else {
        deferred_.start(int(kMinIntervalMs - since));
    }
}

void ProgramResizeGate::apply() {
    if (!pending_ || !window_) return;
    const QSize size = *pending_;
    pending_.reset();
    if (userIsResizing()) return;
    sinceApplied_.start();
    applied_ = size;
    window_->resize(size);
}
