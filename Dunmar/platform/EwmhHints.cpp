#include "platform/EwmhHints.h"

#include "platform/X11Session.h"

#include <cstdlib>
#include <vector>
#include <xcb/xcb.h>

namespace ewmh {
namespace {

constexpr std::uint32_t kRemove = 0;
constexpr std::uint32_t kAdd = 1;
// The request comes from an ordinary application, not from a pager or a taskbar.
constexpr std::uint32_t kSourceApplication = 1;

std::vector<std::uint32_t> readAtoms(xcb_connection_t* c, WId window, std::uint32_t property) {
    std::vector<std::uint32_t> atoms;
    xcb_get_property_reply_t* reply = xcb_get_property_reply(
        c, xcb_get_property(c, 0, static_cast<xcb_window_t>(window), property, XCB_ATOM_ATOM, 0, 1024),
        nullptr);
    if (!reply) return atoms;
    if (reply->format == 32 && reply->type == XCB_ATOM_ATOM) {
        const auto* data = static_cast<const std::uint32_t*>(xcb_get_property_value(reply));
        atoms.assign(data, data + xcb_get_property_value_length(reply) / 4);
    }
    std::free(reply);
    return atoms;
}

std::optional<std::uint32_t> readCardinal(xcb_connection_t* c, std::uint32_t window, std::uint32_t property) {
    xcb_get_property_reply_t* reply =
        xcb_get_property_reply(c, xcb_get_property(c, 0, window, property, XCB_ATOM_CARDINAL, 0, 1), nullptr);
    if (!reply) return std::nullopt;
    std::optional<std::uint32_t> value;
    if (reply->format == 32 && reply->type == XCB_ATOM_CARDINAL && xcb_get_property_value_length(reply) >= 4)
        value = *static_cast<const std::uint32_t*>(xcb_get_property_value(reply));
    std::free(reply);
    return value;
}

void sendToRoot(xcb_connection_t* c, WId window, std::uint32_t type, std::uint32_t d0, std::uint32_t d1,
                std::uint32_t d2, std::uint32_t d3) {
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = static_cast<xcb_window_t>(window);
    event.type = type;
    event.data.data32[0] = d0;
    event.data.data32[1] = d1;
    event.data.data32[2] = d2;
    event.data.data32[3] = d3;
    xcb_send_event(c, 0, x11::rootWindow(),
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&event));
    xcb_flush(c);
}

void requestState(WId window, bool add, const char* first, const char* second = nullptr) {
    xcb_connection_t* c = x11::connection();
    if (!c || !window) return;
    sendToRoot(c, window, x11::atom("_NET_WM_STATE"), add ? kAdd : kRemove, x11::atom(first),
               second ? x11::atom(second) : 0, kSourceApplication);
}

} // namespace

void writeBeforeMapping(WId window, const WindowHints& hints) {
    xcb_connection_t* c = x11::connection();
    if (!c || !window) return;
    const std::uint32_t stateAtom = x11::atom("_NET_WM_STATE");
    const std::uint32_t above = x11::atom("_NET_WM_STATE_ABOVE");
    const std::uint32_t sticky = x11::atom("_NET_WM_STATE_STICKY");
    const std::uint32_t skipTaskbar = x11::atom("_NET_WM_STATE_SKIP_TASKBAR");
    const std::uint32_t skipPager = x11::atom("_NET_WM_STATE_SKIP_PAGER");

    std::vector<std::uint32_t> states;
    for (std::uint32_t a : readAtoms(c, window, stateAtom))
        if (a != above && a != sticky && a != skipTaskbar && a != skipPager) states.push_back(a);
    if (hints.above) states.push_back(above);
    if (hints.allDesktops) states.push_back(sticky);
    if (hints.skipTaskbarAndPager) {
        states.push_back(skipTaskbar);
        states.push_back(skipPager);
    }
    const auto id = static_cast<xcb_window_t>(window);
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, stateAtom, XCB_ATOM_ATOM, 32,
                        static_cast<std::uint32_t>(states.size()), states.data());
    const std::uint32_t desktopAtom = x11::atom("_NET_WM_DESKTOP");
    if (hints.allDesktops) {
        const std::uint32_t all = kAllDesktops;
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, desktopAtom, XCB_ATOM_CARDINAL, 32, 1, &all);
    } else {
        // Without the property the window manager puts the window on the desktop on show.
        xcb_delete_property(c, id, desktopAtom);
    }
    xcb_flush(c);
}

void requestAbove(WId window, bool above) {
    requestState(window, above, "_NET_WM_STATE_ABOVE");
}

void requestAllDesktops(WId window, bool allDesktops) {
    xcb_connection_t* c = x11::connection();
    if (!c || !window) return;
    std::uint32_t desktop = kAllDesktops;
    if (!allDesktops) {
        const std::optional<std::uint32_t> current = currentDesktop();
        if (!current) return;
        desktop = *current;
    }
    sendToRoot(c, window, x11::atom("_NET_WM_DESKTOP"), desktop, kSourceApplication, 0, 0);
    requestState(window, allDesktops, "_NET_WM_STATE_STICKY");
}

void requestSkipTaskbarAndPager(WId window) {
    requestState(window, true, "_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_STATE_SKIP_PAGER");
}

std::optional<std::uint32_t> windowDesktop(WId window) {
    xcb_connection_t* c = x11::connection();
    if (!c || !window) return std::nullopt;
    return readCardinal(c, static_cast<std::uint32_t>(window), x11::atom("_NET_WM_DESKTOP"));
}

std::optional<std::uint32_t> currentDesktop() {
    xcb_connection_t* c = x11::connection();
    if (!c) return std::nullopt;
    return readCardinal(c, x11::rootWindow(), x11::atom("_NET_CURRENT_DESKTOP"));
}

bool isOnCurrentDesktop(WId window) {
    const std::optional<std::uint32_t> mine = windowDesktop(window);
    const std::optional<std::uint32_t> shown = currentDesktop();
    if (!mine || !shown || *mine == kAllDesktops) return true;
    return *mine == *shown;
}

bool isShownOnScreen(WId window) {
    xcb_connection_t* c = x11::connection();
    if (!c || !window) return true;
    const auto id = static_cast<xcb_window_t>(window);
    xcb_get_window_attributes_reply_t* attributes =
        xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, id), nullptr);
    if (!attributes) return false;
    const bool viewable = attributes->map_state == XCB_MAP_STATE_VIEWABLE;
    std::free(attributes);
    if (!viewable) return false;
    const std::uint32_t hidden = x11::atom("_NET_WM_STATE_HIDDEN");
    for (std::uint32_t a : readAtoms(c, window, x11::atom("_NET_WM_STATE")))
        if (a == hidden) return false;
    const std::optional<std::uint32_t> showingDesktop =
        readCardinal(c, x11::rootWindow(), x11::atom("_NET_SHOWING_DESKTOP"));
    return !showingDesktop || *showingDesktop == 0;
}

void requestActivate(WId window) {
    xcb_connection_t* c = x11::connection();
    if (!c || !window) return;
    const std::optional<std::uint32_t> showingDesktop =
        readCardinal(c, x11::rootWindow(), x11::atom("_NET_SHOWING_DESKTOP"));
    if (showingDesktop && *showingDesktop != 0)
        sendToRoot(c, 0, x11::atom("_NET_SHOWING_DESKTOP"), 0, 0, 0, 0);
    // No timestamp of a user action is at hand (0): window managers take the request from an
    // application all the same for its own window.
    sendToRoot(c, window, x11::atom("_NET_ACTIVE_WINDOW"), kSourceApplication, 0, 0, 0);
}

QByteArrayList windowStates(WId window) {
    QByteArrayList names;
    xcb_connection_t* c = x11::connection();
    if (!c || !window) return names;
    for (std::uint32_t a : readAtoms(c, window, x11::atom("_NET_WM_STATE"))) names << x11::atomName(a);
    return names;
}

} // namespace ewmh
