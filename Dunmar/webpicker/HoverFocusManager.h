#pragma once

#include "webpicker/PointerWindow.h"

#include <QObject>
#include <QTimer>
#include <functional>
#include <optional>

// While the picker's sidebar is shown, the browser whose window lies under the pointer becomes the
// active window without a click. Resting over the browser activates it once; moving onto another
// application's window and back activates it again. Focus is never moved back.
class HoverFocusManager : public QObject {
    Q_OBJECT
public:
    using Probe = std::function<std::optional<pointerwindow::WindowUnderPointer>()>;
    using Activate = std::function<void(std::uint32_t window)>;
    using IsBrowser = std::function<bool(pid_t)>;

    // The program's own X11 desktop and /proc's process names.
    explicit HoverFocusManager(QObject* parent = nullptr);
    HoverFocusManager(Probe probe, Activate activate, IsBrowser isBrowser, QObject* parent = nullptr);

    // Polls every 50 ms until stop(); a second start() changes nothing.
    void start();
    // Stops polling and forgets the browser activated last.
    void stop();
    bool isRunning() const { return timer_.isActive(); }
    pid_t lastActivatedPID() const { return lastActivatedPID_; }

    static constexpr int kPollMs = 50;

private:
    void checkWindowUnderCursor();

    Probe probe_;
    Activate activate_;
    IsBrowser isBrowser_;
    QTimer timer_;
    pid_t lastActivatedPID_ = 0;
};
