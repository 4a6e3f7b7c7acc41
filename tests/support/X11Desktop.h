#pragma once

// Tests on a real X server: the main of these executables (X11TestMain.cpp) starts a private Xvfb
// with openbox as the window manager before the QApplication, which then runs on Qt's xcb platform
// against it, and stops both by their ids at the end.

#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>

struct xcb_connection_t;

namespace x11desktop {

// The private server's display (":N").
QString display();

// Runs xdotool against the private server; true when it ran and succeeded. Keys are typed without
// --window, through the server, as the user's keyboard would.
bool xdotool(const QStringList& args);
// Its output (trimmed), for "search" and "getactivewindow".
QString xdotoolOutput(const QStringList& args);

// A window of another X client (a connection of its own, as another program would have), mapped
// at the given place; unmapped and gone with the object.
class OtherProgramWindow {
public:
    OtherProgramWindow(int x, int y, int width, int height);
    ~OtherProgramWindow();
    OtherProgramWindow(const OtherProgramWindow&) = delete;
    OtherProgramWindow& operator=(const OtherProgramWindow&) = delete;

    bool isValid() const { return window_ != 0; }
    std::uint32_t id() const { return window_; }

private:
    xcb_connection_t* connection_ = nullptr;
    std::uint32_t window_ = 0;
};

// Asks the window manager to give `window` the keyboard, as a pager would, and waits until
// `hasIt` says it arrived; asked again a few times, since a window manager may still be busy
// with an earlier map or focus change when the first request comes.
bool activate(std::uint32_t window, const std::function<bool()>& hasIt);

} // namespace x11desktop
