#pragma once

#include <QByteArray>
#include <QPoint>
#include <cstdint>
#include <optional>

struct xcb_connection_t;

// The X11 connection that Qt's xcb platform opened, for the few desktop services Qt has no API
// for (global key grabs, raw input on the root window, window-manager hints). Everything here
// answers "not available" when the program runs on another platform (Wayland, offscreen).
namespace x11 {

// True when Qt runs on its xcb platform, i.e. the desktop session is X11.
bool isX11Session();
// Qt's connection; nullptr outside an X11 session.
xcb_connection_t* connection();
// The root window of the default screen; 0 outside an X11 session.
std::uint32_t rootWindow();
// The atom of `name`, created when the server does not know it yet; 0 on failure.
std::uint32_t atom(const char* name);
// The name of an atom ("" when unknown).
QByteArray atomName(std::uint32_t atom);

// Where the pointer is on the desktop, asked of the server; none outside X11. XInput2 raw events
// carry no position, so a click seen on the root window is placed with this.
std::optional<QPoint> queryPointer();

} // namespace x11
