// The shortcut trigger: Control+Shift+Space inside the program. The push-to-talk key is tested on
// a real X server (PushToTalkKeyTest.cpp).
#include "CountingControl.h"
#include "dictation/ShortcutMonitor.h"

#include <QApplication>
#include <QKeyEvent>
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

} // namespace
