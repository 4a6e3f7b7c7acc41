#pragma once

#include "platform/GlobalInput.h"

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <cstdint>

class Defaults;
class DictationManager;

// Push-to-talk with a held key. Linux keyboards give the Fn key no event, so a key of the user's
// choice stands in for it (setting "dictationPushToTalkKey": Right Ctrl, Right Alt or F13):
// pressed, a session starts; released, it ends. The key is seen through the desktop's raw key
// events (platform/GlobalInput); nothing is grabbed, so it still reaches the window that has the
// keyboard, and only its edges count (repeats change nothing).
//
// The key starts a session only while our window is shown and has the keyboard: the same key in
// another program is that program's, and must not record the room and type into a hidden
// terminal. The setting "dictationPushToTalkGlobal" lifts that for users who dictate from
// anywhere; the manager still keeps the text until the window is shown. A key that is not a
// modifier pressed while the push-to-talk key is held makes the press a chord (Right Ctrl+C), not
// dictation: the session it began ends without text.
class FnKeyMonitor : public QObject {
    Q_OBJECT
public:
    FnKeyMonitor(DictationManager& dictation, Defaults& defaults, QObject* parent = nullptr);
    ~FnKeyMonitor() override;

    // The window whose keyboard the key needs.
    void setWindow(QWidget* window) { window_ = window; }

    // Starts watching the desktop's keys; false when `input` has no raw key events (not X11, or no
    // XInput2). A second start while watching changes nothing.
    bool start(GlobalInput& input);
    void stop();
    bool isWatching() const { return input_ != nullptr; }
    bool fnIsDown() const { return fnIsDown_; }

private:
    void keyChanged(std::uint32_t keysym, bool down);
    bool mayStart() const;

    DictationManager& dictation_;
    Defaults& defaults_;
    QPointer<QWidget> window_;
    QPointer<GlobalInput> input_;
    QMetaObject::Connection connection_;
    bool fnIsDown_ = false;
    // The press was let through (the window had the keyboard, or the key works anywhere).
    bool accepted_ = false;
    // The accepted press began the running session (rather than finding one the button began).
    bool ownsSession_ = false;
};
