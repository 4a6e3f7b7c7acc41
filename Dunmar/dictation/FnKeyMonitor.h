#pragma once

#include <QObject>
#include <QString>
#include <cstdint>
#include <vector>

class DictationControl;
class QSocketNotifier;
struct xcb_connection_t;

// Push-to-talk with a held key, seen also while another program has the keyboard. Linux keyboards
// give the Fn key no event, so the right Control key stands in for it: pressed, a session starts;
// released, it ends. The key is watched through XInput2 raw key events on the root window of the X
// display, on a connection of the monitor's own: nothing is grabbed, so the key still reaches the
// program that has the keyboard, and only its edges count (repeats and other keys change nothing).
class FnKeyMonitor : public QObject {
    Q_OBJECT
public:
    // X11's keysym of the right Control key.
    static constexpr std::uint32_t kPushToTalkKeysym = 0xffe4;
    static inline const QString kPushToTalkKeyName = QStringLiteral("Right Ctrl");

    // `display` as in $DISPLAY; empty for the session's own.
    explicit FnKeyMonitor(DictationControl& dictation, QString display = {}, QObject* parent = nullptr);
    ~FnKeyMonitor() override;

    // Starts watching; false when there is no X display with XInput2 or no key for the keysym. A
    // second start while watching changes nothing.
    bool start();
    void stop();
    bool isWatching() const { return connection_ != nullptr; }
    bool fnIsDown() const { return fnIsDown_; }

private:
    void readEvents();
    // A press (true) or release of the key. Each change of state makes one call on the next turn
    // of the event loop: press `start`, release `stopAndCommit`.
    void handleKeyChange(bool down);

    DictationControl& dictation_;
    QString display_;
    xcb_connection_t* connection_ = nullptr;
    QSocketNotifier* notifier_ = nullptr;
    std::uint8_t xinputOpcode_ = 0;
    std::vector<std::uint8_t> keycodes_;
    bool fnIsDown_ = false;
};
