#pragma once

#include <QObject>
#include <functional>

// The desktop's changes the window follows: screens added, removed or resized, waking from sleep
// (logind on the system bus), and the desktop's light or dark appearance.
class SystemObservers : public QObject {
    Q_OBJECT
public:
    explicit SystemObservers(QObject* parent = nullptr);

    // Starts following the screens and sleep.
    void install();
    // Starts following the appearance (the application palette).
    void watchAppearance();

    std::function<void()> onScreenChange;
    std::function<void()> onWake;
    std::function<void()> onAppearanceChange;

private slots:
    void prepareForSleep(bool goingToSleep);

private:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void screenChanged();
};
