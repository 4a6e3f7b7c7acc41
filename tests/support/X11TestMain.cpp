// The main of the test executables that need a real X server: a private Xvfb with openbox, then a
// QApplication on Qt's xcb platform connected to it. No session bus of this machine is reached.
#include "support/X11Desktop.h"

#include <QApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <string>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>
#include <xcb/xcb.h>

namespace {

QString privateDisplay;

// Starts a program with its output to /dev/null (but `keepFd`, which it inherits); it is ended
// with this process should the test crash.
pid_t spawn(const std::vector<std::string>& args, int keepFd = -1) {
    const pid_t pid = fork();
    if (pid != 0) return pid;
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    const int null = open("/dev/null", O_RDWR);
    dup2(null, STDIN_FILENO);
    dup2(null, STDOUT_FILENO);
    dup2(null, STDERR_FILENO);
    if (keepFd >= 0) fcntl(keepFd, F_SETFD, 0);
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execvp(argv[0], argv.data());
    _exit(127);
}

void stop(pid_t pid) {
    if (pid <= 0) return;
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
}

// The display number Xvfb writes once it accepts clients; empty after 20 s without it.
std::string readDisplay(int fd) {
    std::string number;
    for (;;) {
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, 20000) <= 0) return {};
        char c = 0;
        if (read(fd, &c, 1) != 1) return {};
        if (c == '\n') return number;
        number += c;
    }
}

// Whether the window manager is at work: it announces itself on the root window before it has
// read its theme and started to take windows in, so a probe window is mapped and must come back
// framed (reparented) by it.
class WindowManagerProbe {
public:
    explicit WindowManagerProbe(const std::string& display) : c_(xcb_connect(display.c_str(), nullptr)) {
        if (xcb_connection_has_error(c_)) return;
        const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c_)).data;
        root_ = screen->root;
        probe_ = xcb_generate_id(c_);
        xcb_create_window(c_, XCB_COPY_FROM_PARENT, probe_, root_, 0, 0, 10, 10, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, 0, nullptr);
    }
    ~WindowManagerProbe() { xcb_disconnect(c_); }

    bool managed() {
        if (!probe_ || !announced()) return false;
        xcb_query_tree_reply_t* tree = xcb_query_tree_reply(c_, xcb_query_tree(c_, probe_), nullptr);
        const bool framed = tree && tree->parent != root_;
        std::free(tree);
        if (framed) return true;
        // A map request that came while the manager was still starting can be dropped by it: ask
        // again for as long as the window is not shown.
        xcb_get_window_attributes_reply_t* attributes =
            xcb_get_window_attributes_reply(c_, xcb_get_window_attributes(c_, probe_), nullptr);
        if (attributes && attributes->map_state == XCB_MAP_STATE_UNMAPPED) xcb_map_window(c_, probe_);
        std::free(attributes);
        xcb_flush(c_);
        return false;
    }

private:
    bool announced() {
        const char name[] = "_NET_SUPPORTING_WM_CHECK";
        xcb_intern_atom_reply_t* atom =
            xcb_intern_atom_reply(c_, xcb_intern_atom(c_, 1, sizeof name - 1, name), nullptr);
        bool found = false;
        if (atom && atom->atom) {
            xcb_get_property_reply_t* prop = xcb_get_property_reply(
                c_, xcb_get_property(c_, 0, root_, atom->atom, XCB_ATOM_WINDOW, 0, 1), nullptr);
            found = prop && xcb_get_property_value_length(prop) > 0;
            std::free(prop);
        }
        std::free(atom);
        return found;
    }

    xcb_connection_t* c_;
    xcb_window_t root_ = 0;
    xcb_window_t probe_ = 0;
};

// Polls every 50 ms for up to `ms`.
template <typename F> bool pollUntil(F condition, int ms) {
    for (int waited = 0; waited < ms; waited += 50) {
        if (condition()) return true;
        usleep(50 * 1000);
    }
    return condition();
}

} // namespace

namespace x11desktop {

QString display() {
    return privateDisplay;
}

QString xdotoolOutput(const QStringList& args) {
    QProcess p;
    p.start(QStringLiteral("xdotool"), args);
    if (!p.waitForFinished(10000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) return {};
    return QString::fromLocal8Bit(p.readAllStandardOutput()).trimmed();
}

bool xdotool(const QStringList& args) {
    QProcess p;
    p.start(QStringLiteral("xdotool"), args);
    return p.waitForFinished(10000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

OtherProgramWindow::OtherProgramWindow(int x, int y, int width, int height) {
    connection_ = xcb_connect(privateDisplay.toLatin1().constData(), nullptr);
    if (xcb_connection_has_error(connection_)) return;
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data;
    const xcb_window_t w = xcb_generate_id(connection_);
    const std::uint32_t values[] = {screen->white_pixel};
    xcb_create_window(connection_, XCB_COPY_FROM_PARENT, w, screen->root, static_cast<std::int16_t>(x),
                      static_cast<std::int16_t>(y), static_cast<std::uint16_t>(width),
                      static_cast<std::uint16_t>(height), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                      screen->root_visual, XCB_CW_BACK_PIXEL, values);
    const char wmClass[] = "other\0Other";
    xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, w, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 8,
                        sizeof wmClass, wmClass);
    xcb_map_window(connection_, w);
    xcb_flush(connection_);
    // The window exists on the server once a round trip after its creation has come back.
    std::free(xcb_get_input_focus_reply(connection_, xcb_get_input_focus(connection_), nullptr));
    window_ = w;
}

OtherProgramWindow::~OtherProgramWindow() {
    if (connection_) xcb_disconnect(connection_);
}

bool activate(std::uint32_t window, const std::function<bool()>& hasIt) {
    for (int attempt = 0; attempt < 5; ++attempt) {
        xdotool({QStringLiteral("windowactivate"), QString::number(window)});
        if (QTest::qWaitFor(hasIt, 2000)) return true;
    }
    return false;
}

} // namespace x11desktop

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0) return 2;
    // -noreset: the readiness probe below connects and leaves before anything else is in, and a
    // server that resets then refuses the next client for a moment.
    const pid_t xvfb = spawn({"Xvfb", "-displayfd", std::to_string(pipeFds[1]), "-screen", "0", "1280x800x24",
                              "-nolisten", "tcp", "-noreset"},
                             pipeFds[1]);
    close(pipeFds[1]);
    const std::string number = readDisplay(pipeFds[0]);
    close(pipeFds[0]);
    if (number.empty()) {
        std::fprintf(stderr, "x11 tests: Xvfb did not start (scripts/install-deps installs it)\n");
        stop(xvfb);
        return 2;
    }
    const std::string display = ":" + number;
    privateDisplay = QString::fromStdString(display);
    setenv("DISPLAY", display.c_str(), 1);
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    // Nothing reaches this machine's session bus (input methods, accessibility, portals).
    QTemporaryDir noBus;
    setenv("DBUS_SESSION_BUS_ADDRESS", ("unix:path=" + noBus.filePath("no-bus").toStdString()).c_str(), 1);
    unsetenv("QT_IM_MODULE");
    unsetenv("WAYLAND_DISPLAY");

    const pid_t openbox = spawn({"openbox", "--sm-disable"});
    int status = 2;
    bool managed = false;
    {
        WindowManagerProbe probe(display);
        managed = pollUntil([&] { return probe.managed(); }, 30000);
    }
    if (managed) {
        QApplication app(argc, argv);
        status = RUN_ALL_TESTS();
    } else {
        std::fprintf(stderr, "x11 tests: openbox did not start on %s\n", display.c_str());
    }
    stop(openbox);
    stop(xvfb);
    return status;
}
