#pragma once

#include <QObject>

class DictationControl;

// Push-to-talk with Control+Shift+Space inside the program: pressed, a session starts; released,
// it ends. Only exactly Control and Shift count (Alt or Super added passes the keys through; the
// lock keys do not matter). Every matching event is swallowed, repeats included, so no space is
// typed while the shortcut is held.
class ShortcutMonitor : public QObject {
    Q_OBJECT
public:
    explicit ShortcutMonitor(DictationControl& dictation, QObject* parent = nullptr);
    ~ShortcutMonitor() override;

    void start();
    // Stops watching and forgets a held shortcut.
    void stop();
    bool keyIsDown() const { return keyIsDown_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    DictationControl& dictation_;
    bool watching_ = false;
    bool keyIsDown_ = false;
};
