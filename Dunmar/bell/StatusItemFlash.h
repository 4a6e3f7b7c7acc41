#pragma once

#include <QObject>
#include <QTimer>
#include <functional>

// The tray icon's flash for a bell: six ticks 0.18 s apart; the icon is dimmed on the even ticks
// (at 0.36 s and 0.72 s) and normal on the odd ones, and normal again when the flash ends at
// 1.08 s. A new flash restarts from zero.
class StatusItemFlash : public QObject {
    Q_OBJECT
public:
    static constexpr int kTickMs = 180;
    static constexpr int kTicks = 6;

    explicit StatusItemFlash(QObject* parent = nullptr);

    // Shows the icon dimmed (true) or normal (false); set by the owner.
    std::function<void(bool dimmed)> onDimmedChanged;

    void start();
    void stop();
    bool isRunning() const { return timer_.isActive(); }

private:
    void tick();

    QTimer timer_;
    int count_ = 0;
};
