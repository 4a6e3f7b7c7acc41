// Focus under the pointer on a real X server: Xvfb with openbox and a windowed Chromium. Resting
// over the browser activates it once; after a stop and a start it is activated again.
#include "Chromium.h"

#include "webpicker/BrowserLauncher.h"
#include "webpicker/HoverFocusManager.h"
#include "webpicker/PointerWindow.h"

#include <QProcess>
#include <QTest>
#include <cstdlib>
#include <gtest/gtest.h>
#include <memory>
#include <xcb/xcb.h>

namespace {

// A private X server with a window manager; ended with its processes when the object goes.
class PrivateDesktop {
public:
    bool start() {
        xvfb_.setProgram("Xvfb");
        xvfb_.setArguments({"-displayfd", "1", "-screen", "0", "1280x800x24", "-nolisten", "tcp", "-noreset"});
        xvfb_.start();
        if (!QTest::qWaitFor([&] { return xvfb_.canReadLine(); }, 20000)) return false;
        display_ = ":" + QString::fromLatin1(xvfb_.readLine().trimmed());
        connection_ = xcb_connect(display_.toLatin1().constData(), nullptr);
        if (xcb_connection_has_error(connection_)) return false;
        desktop_ = {connection_, xcb_setup_roots_iterator(xcb_get_setup(connection_)).data->root};
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DISPLAY", display_);
        openbox_.setProcessEnvironment(env);
        openbox_.setProgram("openbox");
        openbox_.setArguments({"--sm-disable"});
        openbox_.setStandardOutputFile(QProcess::nullDevice());
        openbox_.setStandardErrorFile(QProcess::nullDevice());
        openbox_.start();
        return QTest::qWaitFor([&] { return hasWindowManager(); }, 20000);
    }
    QString display() const { return display_; }
    const pointerwindow::Desktop& desktop() const { return desktop_; }

    void movePointer(int x, int y) {
        QProcess xdotool;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DISPLAY", display_);
        xdotool.setProcessEnvironment(env);
        xdotool.start("xdotool", {"mousemove", QString::number(x), QString::number(y)});
        xdotool.waitForFinished(10000);
    }
    std::uint32_t activeWindow() const {
        const char name[] = "_NET_ACTIVE_WINDOW";
        auto* atom = xcb_intern_atom_reply(connection_, xcb_intern_atom(connection_, 0, sizeof name - 1, name), nullptr);
        if (!atom) return 0;
        auto* reply = xcb_get_property_reply(
            connection_, xcb_get_property(connection_, 0, desktop_.root, atom->atom, XCB_ATOM_WINDOW, 0, 1), nullptr);
        std::free(atom);
        std::uint32_t window = 0;
        if (reply && xcb_get_property_value_length(reply) == 4)
            window = *static_cast<std::uint32_t*>(xcb_get_property_value(reply));
        std::free(reply);
        return window;
    }

    ~PrivateDesktop() {
        if (connection_) xcb_disconnect(connection_);
        for (QProcess* p : {&openbox_, &xvfb_}) {
            p->kill();
            p->waitForFinished(10000);
        }
    }

private:
    bool hasWindowManager() {
        const char name[] = "_NET_SUPPORTING_WM_CHECK";
        auto* atom = xcb_intern_atom_reply(connection_, xcb_intern_atom(connection_, 0, sizeof name - 1, name), nullptr);
        if (!atom) return false;
        auto* reply = xcb_get_property_reply(
            connection_, xcb_get_property(connection_, 0, desktop_.root, atom->atom, XCB_ATOM_WINDOW, 0, 1), nullptr);
        std::free(atom);
        const bool has = reply && xcb_get_property_value_length(reply) == 4;
        std::free(reply);
        return has;
    }

    QProcess xvfb_;
    QProcess openbox_;
    QString display_;
    xcb_connection_t* connection_ = nullptr;
    pointerwindow::Desktop desktop_;
};

} // namespace

TEST(HoverFocus, RestingOverTheBrowserActivatesItOnce) {
    PrivateDesktop desktop;
    ASSERT_TRUE(desktop.start());
    const QByteArray savedDisplay = qgetenv("DISPLAY");
    qputenv("DISPLAY", desktop.display().toLatin1());
    testsupport::Chromium chromium;
    QStringList flags = testsupport::headlessFlags();
    flags.removeAll("--headless");
    flags << "--window-position=0,0" << "--window-size=640,480";
    const bool started = chromium.start("data:text/html,<body style='background:%23abc'>", flags);
    qputenv("DISPLAY", savedDisplay);
    ASSERT_TRUE(started);

    // Over the browser's window once it is mapped.
    desktop.movePointer(320, 300);
    ASSERT_TRUE(QTest::qWaitFor([&] {
        const auto under = pointerwindow::windowUnderPointer(desktop.desktop());
        return under && browser::isBrowserProcess(under->pid);
    }, 30000));

    int probes = 0;
    std::vector<std::uint32_t> activated;
    HoverFocusManager manager(
        [&] {
            ++probes;
            return pointerwindow::windowUnderPointer(desktop.desktop());
        },
        [&](std::uint32_t window) {
            activated.push_back(window);
            pointerwindow::activateWindow(desktop.desktop(), window);
        },
        browser::isBrowserProcess);
    manager.start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return activated.size() == 1; }, 10000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return desktop.activeWindow() == activated.front(); }, 10000));
    EXPECT_GT(manager.lastActivatedPID(), 0);
    const int seen = probes;
    ASSERT_TRUE(QTest::qWaitFor([&] { return probes >= seen + 20; }, 10000));
    EXPECT_EQ(activated.size(), 1u) << "resting over it";

    // Over the bare desktop nothing changes; after stop and start the browser counts anew.
    desktop.movePointer(1000, 700);
    const int later = probes;
    ASSERT_TRUE(QTest::qWaitFor([&] { return probes >= later + 5; }, 10000));
    EXPECT_GT(manager.lastActivatedPID(), 0) << "the memory stays over the desktop";
    manager.stop();
    EXPECT_EQ(manager.lastActivatedPID(), 0);
    desktop.movePointer(320, 300);
    manager.start();
    EXPECT_TRUE(QTest::qWaitFor([&] { return activated.size() == 2; }, 10000));
    manager.stop();
}
