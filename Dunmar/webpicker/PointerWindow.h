#pragma once

#include <cstdint>
#include <optional>
#include <sys/types.h>

struct xcb_connection_t;

// The X11 desktop as the picker's focus-follows-pointer needs it: which application window lies
// under the pointer, the process that owns it, and asking the window manager to activate a window.
// Outside an X11 session there is no desktop and every call finds nothing and does nothing.
namespace pointerwindow {

struct Desktop {
    xcb_connection_t* connection = nullptr;
    std::uint32_t root = 0;
};
// The desktop of the program's own X11 connection; an empty one outside X11.
Desktop programDesktop();

struct WindowUnderPointer {
    std::uint32_t window = 0; // the application's window (not the window manager's frame)
    pid_t pid = 0;            // its owner (_NET_WM_PID)
};

// The front-most application window that contains the pointer. None over the bare desktop, over
// a window without an owner process, and over docks, menus and other windows that are not normal
// application windows.
std::optional<WindowUnderPointer> windowUnderPointer(const Desktop& desktop);

// Asks the window manager to activate (raise and focus) the window.
void activateWindow(const Desktop& desktop, std::uint32_t window);

// Activates the first application window the process owns; false when it has none.
bool activateProcessWindow(pid_t pid);
bool activateProcessWindow(const Desktop& desktop, pid_t pid);

} // namespace pointerwindow
