// The triggers: Control+Shift+Space inside the program, and the push-to-talk key on a real X server.
#include "CountingControl.h"
#include "dictation/FnKeyMonitor.h"
#include "dictation/ShortcutMonitor.h"

#include <QKeyEvent>
#include <QProcess>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

class KeyRecorder final : public QWidget {
public:
    int presses = 0;
    int releases = 0;

protected:
    void keyPressEvent(QKeyEvent*) override { ++presses; }
    void keyReleaseEvent(QKeyEvent*) override { ++releases; }
};

void send(QWidget& to, QEvent::Type type, Qt::KeyboardModifiers mods, bool repeat = false) {
    QKeyEvent event(type, Qt::Key_Space, mods, QStringLiteral(" "), repeat);
    QApplication::sendEvent(&to, &event);
}

TEST(ShortcutMonitor, ControlShiftSpaceStartsAndStopsAndIsSwallowedWithItsRepeats) {
    CountingControl control;
    ShortcutMonitor monitor(control);
    KeyRecorder widget;
    monitor.start();
    const Qt::KeyboardModifiers chord = Qt::ControlModifier | Qt::ShiftModifier;

    send(widget, QEvent::KeyPress, chord);
    EXPECT_EQ(control.starts, 1);
    EXPECT_TRUE(monitor.keyIsDown());
    // Held: X11 repeats as release-and-press pairs, all swallowed without a new start or a stop.
    for (int i = 0; i < 3; ++i) {
        send(widget, QEvent::KeyRelease, chord, true);
        send(widget, QEvent::KeyPress, chord, true);
    }
    EXPECT_EQ(control.starts, 1);
    EXPECT_EQ(control.stops, 0);
    send(widget, QEvent::KeyRelease, chord | Qt::KeypadModifier);
    EXPECT_EQ(control.stops, 1);
    EXPECT_EQ(widget.presses + widget.releases, 0);

    // Alt or Super added, or Shift alone, is not the shortcut and reaches the widget.
    for (Qt::KeyboardModifiers other :
         {chord | Qt::AltModifier, chord | Qt::MetaModifier, Qt::KeyboardModifiers(Qt::ShiftModifier)}) {
        send(widget, QEvent::KeyPress, other);
        send(widget, QEvent::KeyRelease, other);
    }
    EXPECT_EQ(widget.presses, 3);
    EXPECT_EQ(control.starts, 1);

    // A release after Control was let go no longer matches: the session is not ended by it, and
    // the next matching press is swallowed without a start; the next matching release ends it.
    send(widget, QEvent::KeyPress, chord);
    send(widget, QEvent::KeyRelease, Qt::ShiftModifier);
    EXPECT_TRUE(monitor.keyIsDown());
    EXPECT_EQ(control.stops, 1);
    send(widget, QEvent::KeyPress, chord);
    EXPECT_EQ(control.starts, 2);
    send(widget, QEvent::KeyRelease, chord);
    EXPECT_EQ(control.stops, 2);

    monitor.stop();
    send(widget, QEvent::KeyPress, chord);
    EXPECT_EQ(control.starts, 2);
    EXPECT_EQ(widget.presses, 4);
}

// A private X server; ended with the object.
class PrivateXServer {
public:
    ~PrivateXServer() {
        xvfb_.kill();
        xvfb_.waitForFinished(5000);
    }
    bool start() {
        xvfb_.start(QStringLiteral("Xvfb"),
                    {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                     QStringLiteral("0"), QStringLiteral("640x480x24"), QStringLiteral("-nolisten"),
                     QStringLiteral("tcp"), QStringLiteral("-noreset")});
        if (!QTest::qWaitFor([&] { return xvfb_.canReadLine(); }, 20000)) return false;
        display_ = QStringLiteral(":") + QString::fromLatin1(xvfb_.readLine().trimmed());
        return true;
    }
    QString display() const { return display_; }
    bool xdotool(const QStringList& args) const {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), display_);
        p.setProcessEnvironment(env);
        p.start(QStringLiteral("xdotool"), args);
        return p.waitForFinished(10000) && p.exitCode() == 0;
    }

private:
    QProcess xvfb_;
    QString display_;
};

TEST(FnKeyMonitor, PushToTalkKeyOnTheXServerStartsAndStopsOnItsEdgesOnly) {
    PrivateXServer x;
    ASSERT_TRUE(x.start());
    CountingControl control;
    FnKeyMonitor monitor(control, x.display());
    ASSERT_TRUE(monitor.start());

    ASSERT_TRUE(x.xdotool({QStringLiteral("keydown"), QStringLiteral("Control_R")}));
    QTRY_COMPARE_WITH_TIMEOUT(control.starts, 1, 10000);
    // Other keys while it is held change nothing; its release ends the session.
    ASSERT_TRUE(x.xdotool({QStringLiteral("key"), QStringLiteral("shift"), QStringLiteral("a")}));
    ASSERT_TRUE(x.xdotool({QStringLiteral("keyup"), QStringLiteral("Control_R")}));
    QTRY_COMPARE_WITH_TIMEOUT(control.stops, 1, 10000);
    EXPECT_EQ(control.starts, 1);
    // The left Control key is not the push-to-talk key; a second hold starts again.
    ASSERT_TRUE(x.xdotool({QStringLiteral("key"), QStringLiteral("Control_L")}));
    ASSERT_TRUE(x.xdotool({QStringLiteral("key"), QStringLiteral("Control_R")}));
    QTRY_COMPARE_WITH_TIMEOUT(control.stops, 2, 10000);
    EXPECT_EQ(control.starts, 2);

    monitor.stop();
    ASSERT_TRUE(x.xdotool({QStringLiteral("key"), QStringLiteral("Control_R")}));
    // The server has handled the key once xdotool returned; nothing can arrive any more.
    EXPECT_FALSE(monitor.isWatching());
    EXPECT_EQ(control.starts, 2);
}

TEST(FnKeyMonitor, WithoutADisplayItDoesNotStart) {
    CountingControl control;
    FnKeyMonitor monitor(control, QStringLiteral(":98765"));
    EXPECT_FALSE(monitor.start());
    EXPECT_FALSE(monitor.isWatching());
}

} // namespace
