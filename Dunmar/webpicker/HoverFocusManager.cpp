#include "webpicker/HoverFocusManager.h"

#include "webpicker/BrowserLauncher.h"

HoverFocusManager::HoverFocusManager(QObject* parent)
    : HoverFocusManager([] { return pointerwindow::windowUnderPointer(pointerwindow::programDesktop()); },
                        [](std::uint32_t window) { pointerwindow::activateWindow(pointerwindow::programDesktop(), window); },
                        browser::isBrowserProcess, parent) {}

HoverFocusManager::HoverFocusManager(Probe probe, Activate activate, IsBrowser isBrowser, QObject* parent)
    : QObject(parent), probe_(std::move(probe)), activate_(std::move(activate)), isBrowser_(std::move(isBrowser)) {
    timer_.setInterval(kPollMs);
    connect(&timer_, &QTimer::timeout, this, &HoverFocusManager::checkWindowUnderCursor);
}

void HoverFocusManager::start() {
    if (!timer_.isActive()) timer_.start();
}

void HoverFocusManager::stop() {
    timer_.stop();
    lastActivatedPID_ = 0;
}

void HoverFocusManager::checkWindowUnderCursor() {
    // Over the bare desktop, or a window whose owner is unknown, the memory stays as it is.
    const std::optional<pointerwindow::WindowUnderPointer> under = probe_();
    if (!under) return;
    if (under->pid == lastActivatedPID_) return;
    if (isBrowser_(under->pid)) {
        lastActivatedPID_ = under->pid;
        activate_(under->window);
    } else {
        lastActivatedPID_ = 0;
    }
}
