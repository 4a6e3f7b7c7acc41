#include "platform/GlobalInput.h"

#include "platform/X11Session.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <algorithm>
#include <cstdlib>
#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>
#include <xcb/xinput.h>

namespace {

constexpr std::uint32_t kNumLock = 0xff7f;
constexpr std::uint32_t kScrollLock = 0xff14;
// The bits of a key event's state that are modifiers; the rest are mouse buttons.
constexpr std::uint16_t kModifierBits = 0x00ff;

std::vector<std::uint8_t> keycodesOf(xcb_connection_t* c, std::uint32_t keysym) {
    std::vector<std::uint8_t> codes;
    xcb_key_symbols_t* symbols = xcb_key_symbols_alloc(c);
    if (!symbols) return codes;
    if (xcb_keycode_t* found = xcb_key_symbols_get_keycode(symbols, keysym)) {
        for (xcb_keycode_t* k = found; *k != XCB_NO_SYMBOL; ++k)
            if (std::find(codes.begin(), codes.end(), *k) == codes.end()) codes.push_back(*k);
        std::free(found);
    }
    xcb_key_symbols_free(symbols);
    return codes;
}

// The modifier bit that a lock key sets (Num Lock is usually Mod2, Scroll Lock varies); 0 when the
// key is on no modifier.
std::uint16_t modifierOfKeysym(xcb_connection_t* c, std::uint32_t keysym) {
    const std::vector<std::uint8_t> codes = keycodesOf(c, keysym);
    if (codes.empty()) return 0;
    xcb_get_modifier_mapping_reply_t* reply =
        xcb_get_modifier_mapping_reply(c, xcb_get_modifier_mapping(c), nullptr);
    if (!reply) return 0;
    std::uint16_t mask = 0;
    const xcb_keycode_t* map = xcb_get_modifier_mapping_keycodes(reply);
    const int perModifier = reply->keycodes_per_modifier;
    for (int mod = 0; mod < 8; ++mod)
        for (int i = 0; i < perModifier; ++i)
            if (std::find(codes.begin(), codes.end(), map[mod * perModifier + i]) != codes.end())
                mask |= static_cast<std::uint16_t>(1u << mod);
    std::free(reply);
    return mask;
}

} // namespace

GlobalInput::GlobalInput(QObject* parent) : QObject(parent) {
    xcb_connection_t* c = x11::connection();
    if (!c) return;
    const xcb_query_extension_reply_t* ext = xcb_get_extension_data(c, &xcb_input_id);
    if (ext && ext->present) {
        // Raw events on the root window need XInput 2.0. Qt has announced its own version on this
        // connection already, and the server refuses a lower one afterwards, so ask for Qt's.
        xcb_input_xi_query_version_reply_t* version =
            xcb_input_xi_query_version_reply(c, xcb_input_xi_query_version(c, 2, 2), nullptr);
        if (version && version->major_version >= 2) xinputOpcode_ = ext->major_opcode;
        std::free(version);
    }
    keySymbols_ = xcb_key_symbols_alloc(c);
    QCoreApplication::instance()->installNativeEventFilter(this);
    installed_ = true;
}

GlobalInput::~GlobalInput() {
    ungrabHotKey();
    if (watchClicks_ || keyWatchers_ > 0) {
        watchClicks_ = false;
        keyWatchers_ = 0;
        selectRawEvents();
    }
    if (installed_ && QCoreApplication::instance())
        QCoreApplication::instance()->removeNativeEventFilter(this);
    if (keySymbols_) xcb_key_symbols_free(keySymbols_);
}

std::uint32_t GlobalInput::keysymOf(std::uint8_t keycode) {
    // The first column: the key as it is labelled, whatever modifiers are held with it.
    return keySymbols_ ? xcb_key_symbols_get_keysym(keySymbols_, keycode, 0) : 0;
}

std::uint16_t GlobalInput::lockModifierMask() const {
    xcb_connection_t* c = x11::connection();
    std::uint16_t numLock = modifierOfKeysym(c, kNumLock);
    if (!numLock) numLock = XCB_MOD_MASK_2;
    return static_cast<std::uint16_t>(XCB_MOD_MASK_LOCK | numLock | modifierOfKeysym(c, kScrollLock));
}

GlobalInput::GrabResult GlobalInput::grabHotKey(std::uint32_t keysym, std::uint16_t modifiers) {
    ungrabHotKey();
    xcb_connection_t* c = x11::connection();
    if (!c) return GrabResult::notX11;
    const std::vector<std::uint8_t> codes = keycodesOf(c, keysym);
    if (codes.empty()) return GrabResult::noKeycode;
    lockMask_ = lockModifierMask();

    // Every subset of the lock bits, so the combination works whichever locks are on.
    std::vector<std::uint16_t> lockBits;
    for (int bit = 0; bit < 8; ++bit)
        if (lockMask_ & (1u << bit)) lockBits.push_back(static_cast<std::uint16_t>(1u << bit));
    std::vector<xcb_void_cookie_t> cookies;
    for (std::uint8_t code : codes) {
        for (unsigned subset = 0; subset < (1u << lockBits.size()); ++subset) {
            std::uint16_t mods = modifiers;
            for (std::size_t i = 0; i < lockBits.size(); ++i)
                if (subset & (1u << i)) mods |= lockBits[i];
            cookies.push_back(xcb_grab_key_checked(c, 1, x11::rootWindow(), mods, code, XCB_GRAB_MODE_ASYNC,
                                                   XCB_GRAB_MODE_ASYNC));
        }
    }
    bool failed = false;
    for (const xcb_void_cookie_t& cookie : cookies) {
        if (xcb_generic_error_t* error = xcb_request_check(c, cookie)) {
            failed = true;
            std::free(error);
        }
    }
    grabbedKeycodes_ = codes;
    grabbedModifiers_ = modifiers;
    if (failed) {
        // Half a grab would work only with some lock keys on: give it all back.
        ungrabHotKey();
        return GrabResult::taken;
    }
    return GrabResult::grabbed;
}

void GlobalInput::ungrabHotKey() {
    xcb_connection_t* c = x11::connection();
    if (c) {
        for (std::uint8_t code : grabbedKeycodes_)
            xcb_ungrab_key(c, code, x11::rootWindow(), XCB_MOD_MASK_ANY);
        if (!grabbedKeycodes_.empty()) xcb_flush(c);
    }
    grabbedKeycodes_.clear();
}

QString GlobalInput::describe(GrabResult result) {
    switch (result) {
    case GrabResult::grabbed:
        return {};
    case GrabResult::notX11:
        return QStringLiteral("The global hot key Control+` needs an X11 session; this one is \"%1\". "
                              "Use the tray icon to show and hide the window.")
            .arg(QGuiApplication::platformName());
    case GrabResult::noKeycode:
        return QStringLiteral("The keyboard layout has no ` key, so the global hot key Control+` is off. "
                              "Use the tray icon to show and hide the window.");
    case GrabResult::taken:
        return QStringLiteral("Another program already uses Control+`, so the global hot key is off. "
                              "Use the tray icon to show and hide the window.");
    }
    return {};
}

void GlobalInput::setWatchClicks(bool watch) {
    if (watchClicks_ == watch) return;
    watchClicks_ = watch;
    selectRawEvents();
}

void GlobalInput::watchKeys() {
    if (++keyWatchers_ == 1) selectRawEvents();
}

void GlobalInput::unwatchKeys() {
    if (keyWatchers_ == 0) return;
    if (--keyWatchers_ == 0) selectRawEvents();
}

void GlobalInput::selectRawEvents() {
    xcb_connection_t* c = x11::connection();
    if (!c || !xinputOpcode_) return;
    struct {
        xcb_input_event_mask_t header;
        std::uint32_t mask;
    } selection{};
    // Qt keeps its own selection on the root window for every device (id 0); ours is for the
    // master devices (id 1), a separate entry that neither replaces the other.
    selection.header.deviceid = XCB_INPUT_DEVICE_ALL_MASTER;
    selection.header.mask_len = 1;
    if (watchClicks_) selection.mask |= XCB_INPUT_XI_EVENT_MASK_RAW_BUTTON_PRESS;
    if (keyWatchers_ > 0)
        selection.mask |= XCB_INPUT_XI_EVENT_MASK_RAW_KEY_PRESS | XCB_INPUT_XI_EVENT_MASK_RAW_KEY_RELEASE;
    xcb_input_xi_select_events(c, x11::rootWindow(), 1, &selection.header);
    xcb_flush(c);
}

bool GlobalInput::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (eventType != "xcb_generic_event_t") return false;
    auto* event = static_cast<xcb_generic_event_t*>(message);
    const std::uint8_t type = event->response_type & 0x7f;
    if (type == XCB_MAPPING_NOTIFY) {
        // A new layout, or a program (xdotool among them) giving a spare key a symbol: read the
        // map afresh when the next key comes. Qt reads the event too.
        if (keySymbols_)
            xcb_refresh_keyboard_mapping(keySymbols_, reinterpret_cast<xcb_mapping_notify_event_t*>(event));
        return false;
    }
    if (type == XCB_KEY_PRESS && !grabbedKeycodes_.empty()) {
        auto* key = reinterpret_cast<xcb_key_press_event_t*>(event);
        const std::uint16_t held = key->state & kModifierBits & static_cast<std::uint16_t>(~lockMask_);
        if (held == grabbedModifiers_ && std::find(grabbedKeycodes_.begin(), grabbedKeycodes_.end(),
                                                   key->detail) != grabbedKeycodes_.end())
            emit hotKeyPressed();
        // Qt still sees the press (it keeps the time of the user's last input from it); it belongs
        // to none of its windows, so nothing else happens with it.
        return false;
    }
    if (type != XCB_GE_GENERIC || !xinputOpcode_) return false;
    auto* generic = reinterpret_cast<xcb_ge_generic_event_t*>(event);
    if (generic->extension != xinputOpcode_) return false;
    switch (generic->event_type) {
    case XCB_INPUT_RAW_BUTTON_PRESS: {
        if (!watchClicks_) return true;
        auto* raw = reinterpret_cast<xcb_input_raw_button_press_event_t*>(event);
        emit buttonPressed(static_cast<int>(raw->detail));
        return true;
    }
    case XCB_INPUT_RAW_KEY_PRESS:
    case XCB_INPUT_RAW_KEY_RELEASE: {
        if (keyWatchers_ == 0) return true;
        auto* raw = reinterpret_cast<xcb_input_raw_key_press_event_t*>(event);
        const std::uint32_t keysym = keysymOf(static_cast<std::uint8_t>(raw->detail));
        if (keysym) emit keyChanged(keysym, generic->event_type == XCB_INPUT_RAW_KEY_PRESS);
        return true;
    }
    default:
        return false;
    }
}
