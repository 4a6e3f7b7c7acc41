#pragma once

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <functional>

class GlobalInput;

// Watches left and right presses anywhere on the desktop (raw input, which includes presses on our
// own window and on the tray icon) and reports each with the pointer's place. Installed while a
// shown window is to hide on a click elsewhere.
class ClickOutsideMonitor : public QObject {
public:
    // Starts watching `input`; a monitor already installed is removed first, so there are never
    // two. Without an input nothing is watched.
    void install(GlobalInput* input);
    void remove();
    bool isInstalled() const { return installed_; }

    // A press at `pointer` (Qt coordinates).
    std::function<void(const QPoint& pointer)> onClick;

private:
    QPointer<GlobalInput> input_;
    QMetaObject::Connection connection_;
    bool installed_ = false;
};
