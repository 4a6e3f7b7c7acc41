#pragma once

#include <QAbstractNativeEventFilter>
#include <QObject>
#include <QString>
#include <cstdint>
#include <vector>

// Input that reaches the program while another one has the keyboard, on X11: the global hot key
// (a passive key grab on the root window, once for every combination of the lock keys, so that
// Caps Lock or Num Lock being on does not hide it from us) and XInput2 raw button and key events
// on the root window (clicks anywhere, and Control going down and up). One native event filter
// reads all of it. Outside X11 nothing is grabbed or watched and `grabHotKey` says why.
class GlobalInput : public QObject, public QAbstractNativeEventFilter {
    Q_OBJECT
public:
    enum class GrabResult {
        grabbed,
        notX11,    // the session is not X11 (Wayland, offscreen): no global grab is possible
        noKeycode, // the keyboard has no key for the symbol
        taken,     // another program holds the same combination
    };

    explicit GlobalInput(QObject* parent = nullptr);
    ~GlobalInput() override;

    // Grabs `keysym` with `modifiers` (X modifier bits, e.g. XCB_MOD_MASK_CONTROL) on every key
    // that produces it. A second call replaces the first grab.
    GrabResult grabHotKey(std::uint32_t keysym, std::uint16_t modifiers);
    void ungrabHotKey();
    bool isHotKeyGrabbed() const { return !grabbedKeycodes_.empty(); }
    // A sentence for the user about a failed grab.
    static QString describe(GrabResult result);

    // Whether the server offers XInput2 raw events; without them clicks elsewhere and Control
    // presses outside our own windows go unseen.
    bool hasRawInput() const { return xinputOpcode_ != 0; }
    // Raw button presses anywhere on the desktop (the pointer position is asked when one comes).
    void setWatchClicks(bool watch);
    bool isWatchingClicks() const { return watchClicks_; }
    // Raw presses and releases of the Control keys.
    void setWatchControlKey(bool watch);

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

signals:
    void hotKeyPressed();
    // A button went down somewhere on the desktop: 1 left, 2 middle, 3 right, 4 and up the wheel.
    void buttonPressed(int button);
    // A Control key went down (true) or up (false).
    void controlKeyChanged(bool down);

private:
    void selectRawEvents();
    std::uint16_t lockModifierMask() const;

    std::vector<std::uint8_t> grabbedKeycodes_;
    std::uint16_t grabbedModifiers_ = 0;
    std::uint16_t lockMask_ = 0;
    std::vector<std::uint8_t> controlKeycodes_;
    std::uint8_t xinputOpcode_ = 0;
    bool watchClicks_ = false;
    bool watchControl_ = false;
    bool installed_ = false;
};
