#include "webpicker/PointerWindow.h"

#include "platform/X11Session.h"

#include <cstdlib>
#include <cstring>
#include <vector>
#include <xcb/xcb.h>

namespace pointerwindow {

namespace {

std::uint32_t internAtom(xcb_connection_t* c, const char* name) {
    xcb_intern_atom_reply_t* reply =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
    if (!reply) return 0;
    const std::uint32_t atom = reply->atom;
    std::free(reply);
    return atom;
}

// The 32-bit values of a window property; empty when it is missing.
std::vector<std::uint32_t> cardinals(xcb_connection_t* c, std::uint32_t window, std::uint32_t property,
                                     std::uint32_t type, std::uint32_t maxCount = 1) {
    xcb_get_property_reply_t* reply =
        xcb_get_property_reply(c, xcb_get_property(c, 0, window, property, type, 0, maxCount), nullptr);
    std::vector<std::uint32_t> values;
    if (!reply) return values;
    if (reply->format == 32) {
        const auto* data = static_cast<const std::uint32_t*>(xcb_get_property_value(reply));
        values.assign(data, data + xcb_get_property_value_length(reply) / 4);
    }
    std::free(reply);
    return values;
}

bool hasProperty(xcb_connection_t* c, std::uint32_t window, std::uint32_t property) {
    xcb_get_property_reply_t* reply =
        xcb_get_property_reply(c, xcb_get_property(c, 0, window, property, XCB_GET_PROPERTY_TYPE_ANY, 0, 0), nullptr);
    const bool has = reply && reply->type != XCB_NONE;
    std::free(reply);
    return has;
}

// Whether a client window is an ordinary application window (no type counts as one).
bool isNormalWindow(xcb_connection_t* c, std::uint32_t window) {
    const std::vector<std::uint32_t> types =
        cardinals(c, window, internAtom(c, "_NET_WM_WINDOW_TYPE"), XCB_ATOM_ATOM, 8);
    if (types.empty()) return true;
    const std::uint32_t normal = internAtom(c, "_NET_WM_WINDOW_TYPE_NORMAL");
    const std::uint32_t dialog = internAtom(c, "_NET_WM_WINDOW_TYPE_DIALOG");
    return types.front() == normal || types.front() == dialog;
}

} // namespace

Desktop programDesktop() {
    return {x11::connection(), x11::rootWindow()};
}

std::optional<WindowUnderPointer> windowUnderPointer(const Desktop& desktop) {
    xcb_connection_t* c = desktop.connection;
    if (!c || !desktop.root) return std::nullopt;
    const std::uint32_t wmState = internAtom(c, "WM_STATE");
    const std::uint32_t wmPid = internAtom(c, "_NET_WM_PID");
    // The pointer's child of the root is the window manager's frame; the application's own window
    // (the one with WM_STATE) lies inside it.
    std::uint32_t window = desktop.root;
    for (int depth = 0; depth < 8; ++depth) {
        xcb_query_pointer_reply_t* reply = xcb_query_pointer_reply(c, xcb_query_pointer(c, window), nullptr);
        if (!reply) return std::nullopt;
        const std::uint32_t child = reply->child;
        std::free(reply);
        if (child == XCB_NONE) return std::nullopt;
        window = child;
        if (!hasProperty(c, window, wmState)) continue;
        if (!isNormalWindow(c, window)) return std::nullopt;
        const std::vector<std::uint32_t> pid = cardinals(c, window, wmPid, XCB_ATOM_CARDINAL);
        if (pid.empty() || pid.front() == 0) return std::nullopt;
        return WindowUnderPointer{window, static_cast<pid_t>(pid.front())};
    }
    return std::nullopt;
}

void activateWindow(const Desktop& desktop, std::uint32_t window) {
    xcb_connection_t* c = desktop.connection;
    if (!c || !desktop.root || !window) return;
    xcb_client_message_event_t event;
    std::memset(&event, 0, sizeof event);
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = internAtom(c, "_NET_ACTIVE_WINDOW");
    // Source 2 (a pager): the request comes on the user's behalf, so window managers honour it
    // instead of only marking the window as wanting attention.
    event.data.data32[0] = 2;
    event.data.data32[1] = XCB_CURRENT_TIME;
    xcb_send_event(c, 0, desktop.root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&event));
    xcb_flush(c);
}

bool activateProcessWindow(pid_t pid) {
    return activateProcessWindow(programDesktop(), pid);
}

bool activateProcessWindow(const Desktop& desktop, pid_t pid) {
    xcb_connection_t* c = desktop.connection;
    if (!c || !desktop.root || pid <= 0) return false;
    const std::uint32_t wmPid = internAtom(c, "_NET_WM_PID");
    for (std::uint32_t window :
         cardinals(c, desktop.root, internAtom(c, "_NET_CLIENT_LIST"), XCB_ATOM_WINDOW, 4096)) {
        const std::vector<std::uint32_t> owner = cardinals(c, window, wmPid, XCB_ATOM_CARDINAL);
        if (!owner.empty() && static_cast<pid_t>(owner.front()) == pid && isNormalWindow(c, window)) {
            activateWindow(desktop, window);
            return true;
        }
    }
    return false;
}

} // namespace pointerwindow
