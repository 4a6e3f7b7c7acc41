#include "platform/X11Session.h"

#include <QGuiApplication>
#include <cstdlib>
#include <cstring>
#include <xcb/xcb.h>

namespace x11 {

bool isX11Session() {
    return QGuiApplication::platformName() == QLatin1String("xcb");
}

xcb_connection_t* connection() {
    if (!isX11Session()) return nullptr;
    auto* native = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return native ? native->connection() : nullptr;
}

std::uint32_t rootWindow() {
    xcb_connection_t* c = connection();
    if (!c) return 0;
    const xcb_setup_t* setup = xcb_get_setup(c);
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(setup);
    return it.rem > 0 ? it.data->root : 0;
}

std::uint32_t atom(const char* name) {
    xcb_connection_t* c = connection();
    if (!c) return 0;
    const auto cookie = xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name);
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(c, cookie, nullptr);
    if (!reply) return 0;
    const std::uint32_t result = reply->atom;
    std::free(reply);
    return result;
}

QByteArray atomName(std::uint32_t value) {
    xcb_connection_t* c = connection();
    if (!c || value == 0) return {};
    xcb_get_atom_name_reply_t* reply = xcb_get_atom_name_reply(c, xcb_get_atom_name(c, value), nullptr);
    if (!reply) return {};
    const QByteArray name(xcb_get_atom_name_name(reply), xcb_get_atom_name_name_length(reply));
    std::free(reply);
    return name;
}

std::optional<QPoint> queryPointer() {
    xcb_connection_t* c = connection();
    const std::uint32_t root = rootWindow();
    if (!c || !root) return std::nullopt;
    xcb_query_pointer_reply_t* reply = xcb_query_pointer_reply(c, xcb_query_pointer(c, root), nullptr);
    if (!reply) return std::nullopt;
    const QPoint pos(reply->root_x, reply->root_y);
    std::free(reply);
    return pos;
}

} // namespace x11
