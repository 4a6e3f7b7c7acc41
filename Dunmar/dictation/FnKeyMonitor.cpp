#include "dictation/FnKeyMonitor.h"

#include "dictation/DictationManager.h"
#include "platform/Defaults.h"
#include "platform/GlobalInput.h"
#include "platform/PushToTalkKeys.h"
#include "settings/SettingsKeys.h"

#include <QGuiApplication>
#include <QTimer>
#include <QWidget>
#include <QWindow>

FnKeyMonitor::FnKeyMonitor(DictationManager& dictation, Defaults& defaults, QObject* parent)
    : QObject(parent), dictation_(dictation), defaults_(defaults) {}

FnKeyMonitor::~FnKeyMonitor() {
    stop();
}

bool FnKeyMonitor::start(GlobalInput& input) {
    if (input_) return true;
    if (!input.hasRawInput()) return false;
    input_ = &input;
    connection_ = connect(&input, &GlobalInput::keyChanged, this, &FnKeyMonitor::keyChanged);
    input.watchKeys();
    return true;
}

void FnKeyMonitor::stop() {
    disconnect(connection_);
    if (input_) input_->unwatchKeys();
    input_ = nullptr;
}

bool FnKeyMonitor::mayStart() const {
    if (defaults_.boolean(settings::kDictationPushToTalkGlobal)) return true;
    if (!window_ || !window_->isVisible()) return false;
    // The window the desktop gave the keyboard to, as Qt heard it. QApplication's active window is
    // not asked: after the keyboard went elsewhere and came back it can stay empty.
    const QWindow* focus = QGuiApplication::focusWindow();
    return focus && focus == window_->windowHandle();
}

void FnKeyMonitor::keyChanged(std::uint32_t keysym, bool down) {
    // Read on every key, so a change in the settings counts from the next press on.
    const pushtotalk::Key& key = pushtotalk::key(defaults_.integer(settings::kDictationPushToTalkKey));
    if (key.matches(keysym)) {
        if (down == fnIsDown_) return;
        fnIsDown_ = down;
        if (down) {
            accepted_ = mayStart();
            if (!accepted_) return;
            // The calls go out on the next turn of the event loop, never inside the event filter.
            QTimer::singleShot(0, this, [this] {
                ownsSession_ = dictation_.state().kind == DictationState::Kind::idle;
                dictation_.start();
            });
        } else if (accepted_) {
            accepted_ = false;
            QTimer::singleShot(0, this, [this] { dictation_.stopAndCommit(); });
        }
        return;
    }
    if (!down || !fnIsDown_ || !accepted_ || pushtotalk::isModifier(keysym)) return;
    // A chord: its release no longer ends a session, and the session the press began goes.
    accepted_ = false;
    QTimer::singleShot(0, this, [this] {
        if (ownsSession_) dictation_.cancel();
        ownsSession_ = false;
    });
}
