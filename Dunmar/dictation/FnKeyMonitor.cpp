#include "dictation/FnKeyMonitor.h"

#include "chrome/DictationControl.h"

#include <QPointer>
#include <QSocketNotifier>
#include <QTimer>
#include <algorithm>
#include <cstdlib>
#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>
#include <xcb/xinput.h>

FnKeyMonitor::FnKeyMonitor(DictationControl& dictation, QString display, QObject* parent)
    : QObject(parent), dictation_(dictation), display_(std::move(display)) {}

FnKeyMonitor::~FnKeyMonitor() {
    stop();
}

bool FnKeyMonitor::start() {
    if (connection_) return true;
    const QByteArray name = display_.toLocal8Bit();
    int screenNumber = 0;
    xcb_connection_t* c = xcb_connect(display_.isEmpty() ? nullptr : name.constData(), &screenNumber);
    if (xcb_connection_has_error(c)) {
        xcb_disconnect(c);
        return false;
    }
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(c));
    for (int i = 0; i < screenNumber && screens.rem; ++i) xcb_screen_next(&screens);
    const xcb_window_t root = screens.data ? screens.data->root : 0;

    std::uint8_t opcode = 0;
    const xcb_query_extension_reply_t* ext = xcb_get_extension_data(c, &xcb_input_id);
    if (ext && ext->present) {
        xcb_input_xi_query_version_reply_t* version =
            xcb_input_xi_query_version_reply(c, xcb_input_xi_query_version(c, 2, 0), nullptr);
        if (version && version->major_version >= 2) opcode = ext->major_opcode;
        std::free(version);
    }
    std::vector<std::uint8_t> codes;
    if (xcb_key_symbols_t* symbols = xcb_key_symbols_alloc(c)) {
        if (xcb_keycode_t* found = xcb_key_symbols_get_keycode(symbols, kPushToTalkKeysym)) {
            for (xcb_keycode_t* k = found; *k != XCB_NO_SYMBOL; ++k) codes.push_back(*k);
            std::free(found);
        }
        xcb_key_symbols_free(symbols);
    }
    if (!root || !opcode || codes.empty()) {
        xcb_disconnect(c);
        return false;
    }

    struct {
        xcb_input_event_mask_t header;
        std::uint32_t mask;
    } selection{};
    selection.header.deviceid = XCB_INPUT_DEVICE_ALL_MASTER;
    selection.header.mask_len = 1;
    selection.mask = XCB_INPUT_XI_EVENT_MASK_RAW_KEY_PRESS | XCB_INPUT_XI_EVENT_MASK_RAW_KEY_RELEASE;
    xcb_input_xi_select_events(c, root, 1, &selection.header);
    xcb_flush(c);

    connection_ = c;
    xinputOpcode_ = opcode;
    keycodes_ = std::move(codes);
    notifier_ = new QSocketNotifier(xcb_get_file_descriptor(c), QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &FnKeyMonitor::readEvents);
    return true;
}

void FnKeyMonitor::stop() {
    delete notifier_;
    notifier_ = nullptr;
    if (connection_) xcb_disconnect(connection_);
    connection_ = nullptr;
    keycodes_.clear();
}

void FnKeyMonitor::readEvents() {
    if (!connection_) return;
    while (xcb_generic_event_t* event = xcb_poll_for_event(connection_)) {
        const std::uint8_t type = event->response_type & 0x7f;
        if (type == XCB_GE_GENERIC) {
            auto* generic = reinterpret_cast<xcb_ge_generic_event_t*>(event);
            if (generic->extension == xinputOpcode_ && (generic->event_type == XCB_INPUT_RAW_KEY_PRESS ||
                                                        generic->event_type == XCB_INPUT_RAW_KEY_RELEASE)) {
                auto* raw = reinterpret_cast<xcb_input_raw_key_press_event_t*>(event);
                if (std::find(keycodes_.begin(), keycodes_.end(), raw->detail) != keycodes_.end())
                    handleKeyChange(generic->event_type == XCB_INPUT_RAW_KEY_PRESS);
            }
        }
        std::free(event);
    }
    if (xcb_connection_has_error(connection_)) stop(); // the display went away
}

void FnKeyMonitor::handleKeyChange(bool down) {
    if (down == fnIsDown_) return;
    fnIsDown_ = down;
    QTimer::singleShot(0, this, [this, down] {
        if (down)
            dictation_.start();
        else
            dictation_.stopAndCommit();
    });
}
