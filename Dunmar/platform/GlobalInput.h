#pragma once

#include <QAbstractNativeEventFilter>
#include <QObject>
#include <QString>
#include <cstdint>
#include <vector>

struct _XCBKeySymbols;
typedef struct _XCBKeySymbols xcb_key_symbols_t;

// Input that reaches the program while another one has the keyboard, on X11: the global hot key
// (a passive key grab on the root window, once for every combination of the lock keys, so that
// Caps Lock or Num Lock being on does not hide it from us) and XInput2 raw button and key events
// on the root window (clicks anywhere, and keys going down and up). This is the program's one
// XInput2 set-up: every watcher of the desktop's keys and clicks goes through it, on Qt's own
// connection, and one native event filter reads all of it. Outside X11 nothing is grabbed or
// watched and `grabHotKey` says why.
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

    // Whether the server offers XInput2 raw events; without them clicks elsewhere and key presses
    // outside our own windows go unseen.
    bool hasRawInput() const { return xinputOpcode_ != 0; }
    // Raw button presses anywhere on the desktop (the pointer position is asked when one comes).
    void setWatchClicks(bool watch);
    bool isWatchingClicks() const { return watchClicks_; }
    // Raw presses and releases of every key, reported by `keyChanged`, for as long as at least one
    // watcher asked for them: each `watchKeys` is undone by one `unwatchKeys`. Nothing is grabbed:
    // the key still reaches the window that has the keyboard.
    void watchKeys();
    void unwatchKeys();

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

signals:
    void hotKeyPressed();
    // A button went down somewhere on the desktop: 1 left, 2 middle, 3 right, 4 and up the wheel.
    void buttonPressed(int button);
    // A key went down (true) or up (false) anywhere on the desktop; `keysym` is the symbol the key
    // gives without modifiers (X11's keysym: 0xffe4 is the right Control key). A held key repeats
    // its presses.
    void keyChanged(std::uint32_t keysym, bool down);

private:
    void selectRawEvents();
    std::uint16_t lockModifierMask() const;
    std::uint32_t keysymOf(std::uint8_t keycode);

    std::vector<std::uint8_t> grabbedKeycodes_;
    std::uint16_t grabbedModifiers_ = 0;
    std::uint16_t lockMask_ = 0;
    // The keyboard map, read once and again after the server announces a change of it.
    xcb_key_symbols_t* keySymbols_ = nullptr;
    std::uint8_t xinputOpcode_ = 0;
    bool watchClicks_ = false;
    int keyWatchers_ = 0;
    bool installed_ = false;
};
