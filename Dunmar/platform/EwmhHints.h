#pragma once

#include <QByteArrayList>
#include <QtGui/qwindowdefs.h>
#include <cstdint>
#include <optional>

// Window-manager hints of the drop-down window, spoken in the desktop's own protocol (EWMH): kept
// above other windows, shown on every desktop, left out of the taskbar and the pager. Before a
// window is mapped the hints are written on the window itself, where the window manager reads them
// when it takes the window; once mapped, the window manager is asked through messages to the root
// window, as the protocol requires. Outside X11 every call does nothing and the queries say none.
namespace ewmh {

// The desktop number that means "every desktop".
inline constexpr std::uint32_t kAllDesktops = 0xFFFFFFFFu;

struct WindowHints {
    bool above = false;       // _NET_WM_STATE_ABOVE
    bool allDesktops = false; // _NET_WM_DESKTOP 0xFFFFFFFF and _NET_WM_STATE_STICKY
    bool skipTaskbarAndPager = true;
};

// Writes the hints on a window that is not mapped (first show, or after it was hidden: the window
// manager drops _NET_WM_STATE when a window is withdrawn). Other states already on the window stay.
void writeBeforeMapping(WId window, const WindowHints& hints);

// Asks the window manager to change the hints of a mapped window.
void requestAbove(WId window, bool above);
// True: every desktop. False: the desktop on show.
void requestAllDesktops(WId window, bool allDesktops);
void requestSkipTaskbarAndPager(WId window);

// The window's desktop (kAllDesktops for every desktop); none when the window manager has not set
// one or outside X11.
std::optional<std::uint32_t> windowDesktop(WId window);
// The desktop on show; none when the window manager does not say.
std::optional<std::uint32_t> currentDesktop();
// False only when both are known and differ (a window on every desktop is on the current one).
bool isOnCurrentDesktop(WId window);

// Whether the window really is on the screen as the server and the window manager see it: mapped,
// not iconified (_NET_WM_STATE_HIDDEN), and the desktop not in its "show desktop" mode
// (_NET_SHOWING_DESKTOP). A window Qt still counts as shown may be none of these after the window
// manager iconified or unmapped it. Outside X11: true.
bool isShownOnScreen(WId window);
// Asks the window manager to bring the window back and give it the keyboard: leaves the "show
// desktop" mode, de-iconifies, raises and activates (_NET_ACTIVE_WINDOW).
void requestActivate(WId window);

// The names of the window's _NET_WM_STATE atoms, for checks and diagnostics.
QByteArrayList windowStates(WId window);

} // namespace ewmh
