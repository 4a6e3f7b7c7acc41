// Real key events sent to a real pane, and the bytes its child read on the other side of the
// pseudo-terminal, byte for byte.
#include "ViewTestSupport.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QTest>

namespace {

constexpr auto kNone = Qt::NoModifier;
constexpr auto kShift = Qt::ShiftModifier;
constexpr auto kCtrl = Qt::ControlModifier;
constexpr auto kAlt = Qt::AltModifier;
constexpr auto kSuper = Qt::MetaModifier;

struct KeyCase {
    const char* name;
    int key;
    Qt::KeyboardModifiers mods;
    QString text;
    QByteArray expected;
    QEvent::Type type = QEvent::KeyPress;
    bool autoRepeat = false;
};

void send(TerminalView& view, const KeyCase& k) {
    QKeyEvent event(k.type, k.key, k.mods, k.text, k.autoRepeat);
    QApplication::sendEvent(&view, &event);
}

// Sends every key and checks what arrived for it; a key that sends too much shows up as a mismatch
// on the key after it, and the last one by the check for leftovers.
void expectKeys(TerminalView& view, InputDump& dump, const std::vector<KeyCase>& cases) {
    for (const KeyCase& k : cases) {
        send(view, k);
        if (k.expected.isEmpty()) continue;
        EXPECT_EQ(visible(dump.take(k.expected.size())), visible(k.expected)) << k.name;
    }
    EXPECT_EQ(visible(dump.rest(view)), "") << "after " << cases.back().name;
}

QByteArray bytes(const char* s) {
    return QByteArray(s);
}

} // namespace

TEST_F(ViewTest, KeysSendXtermSequencesInNormalAndApplicationModes) {
    auto view = makeDumpView();
    InputDump dump(dumpPath);
    expectKeys(*view, dump,
               {
                   {"Control+A", Qt::Key_A, kCtrl, "\x01", bytes("\x01")},
                   {"Control+Z", Qt::Key_Z, kCtrl, "\x1a", bytes("\x1a")},
                   {"Control+[", Qt::Key_BracketLeft, kCtrl, "\x1b", bytes("\x1b")},
                   {"Control+\\", Qt::Key_Backslash, kCtrl, "\x1c", bytes("\x1c")},
                   {"Control+_", Qt::Key_Underscore, kCtrl | kShift, "\x1f", bytes("\x1f")},
                   {"Control+Space", Qt::Key_Space, kCtrl, " ", QByteArray("\0", 1)},
                   {"Control+0 is an ordinary key", Qt::Key_0, kCtrl, "0", bytes("0")},
                   {"Tab", Qt::Key_Tab, kNone, "\t", bytes("\t")},
                   {"Shift+Tab", Qt::Key_Backtab, kShift, "", bytes("\x1b[Z")},
                   {"Return", Qt::Key_Return, kNone, "\r", bytes("\r")},
                   {"Backspace", Qt::Key_Backspace, kNone, "\x7f", bytes("\x7f")},
                   {"Escape", Qt::Key_Escape, kNone, "\x1b", bytes("\x1b")},
                   {"Up", Qt::Key_Up, kNone, "", bytes("\x1b[A")},
                   {"Left", Qt::Key_Left, kNone, "", bytes("\x1b[D")},
                   {"Control+Up", Qt::Key_Up, kCtrl, "", bytes("\x1b[1;5A")},
                   {"Shift+Alt+Right", Qt::Key_Right, kShift | kAlt, "",
                    bytes("\x1b"
                          "f")},
                   {"Control+Shift+Down", Qt::Key_Down, kCtrl | kShift, "", bytes("\x1b[1;6B")},
                   {"Home", Qt::Key_Home, kNone, "", bytes("\x1b[H")},
                   {"Control+End", Qt::Key_End, kCtrl, "", bytes("\x1b[1;5F")},
                   {"Page Up", Qt::Key_PageUp, kNone, "", bytes("\x1b[5~")},
                   {"Insert", Qt::Key_Insert, kNone, "", bytes("\x1b[2~")},
                   {"Delete", Qt::Key_Delete, kNone, "", bytes("\x1b[3~")},
                   {"F1", Qt::Key_F1, kNone, "", bytes("\x1bOP")},
                   {"F3", Qt::Key_F3, kNone, "", bytes("\x1bOR")},
                   {"Control+F1", Qt::Key_F1, kCtrl, "", bytes("\x1b[1;5P")},
                   {"F5", Qt::Key_F5, kNone, "", bytes("\x1b[15~")},
                   {"Shift+Alt+F5", Qt::Key_F5, kShift | kAlt, "", bytes("\x1b[15;4~")},
                   {"F12", Qt::Key_F12, kNone, "", bytes("\x1b[24~")},
                   {"é", Qt::Key_Eacute, kNone, "é", bytes("\xc3\xa9")},
                   {"Shift alone", Qt::Key_Shift, kShift, "", {}},
               });

    feed(*view, "\x1b[?1h\x1b="); // application cursor and keypad modes
    ASSERT_TRUE(view->terminal().mode(Mode::appCursor));
    expectKeys(*view, dump,
               {
                   {"Up (application)", Qt::Key_Up, kNone, "", bytes("\x1bOA")},
                   {"Left (application)", Qt::Key_Left, kNone, "", bytes("\x1bOD")},
                   {"Home (application)", Qt::Key_Home, kNone, "", bytes("\x1bOH")},
                   {"Control+Up (application)", Qt::Key_Up, kCtrl, "", bytes("\x1b[1;5A")},
                   {"Page Up (application)", Qt::Key_PageUp, kNone, "", bytes("\x1b[5~")},
                   {"keypad Enter (application)", Qt::Key_Enter, Qt::KeypadModifier, "\r", bytes("\x1bOM")},
                   {"Return (application)", Qt::Key_Return, kNone, "\r", bytes("\r")},
               });
}

TEST_F(ViewTest, AltIsMetaAndAltGrComposes) {
    auto view = makeDumpView();
    InputDump dump(dumpPath);
    expectKeys(
        *view, dump,
        {
            {"Alt+b", Qt::Key_B, kAlt, "b",
             bytes("\x1b"
                   "b")},
            {"Alt+Shift+a", Qt::Key_A, kAlt | kShift, "A",
             bytes("\x1b"
                   "A")},
            {"Alt+.", Qt::Key_Period, kAlt, ".", bytes("\x1b.")},
            {"Alt+n", Qt::Key_N, kAlt, "n", bytes("\x1bn")},
            {"Alt+Control+a", Qt::Key_A, kAlt | kCtrl, "\x01", bytes("\x1b\x01")},
            {"Alt+Return", Qt::Key_Return, kAlt, "\r", bytes("\x1b\r")},
            {"Alt+Left", Qt::Key_Left, kAlt, "",
             bytes("\x1b"
                   "b")},
            {"Alt+Right", Qt::Key_Right, kAlt, "",
             bytes("\x1b"
                   "f")},
            {"Alt+Backspace", Qt::Key_Backspace, kAlt, "\x7f", bytes("\x1b\x7f")},
            {"Alt+Up", Qt::Key_Up, kAlt, "", bytes("\x1b[1;3A")},
            {"AltGr+q gives @", Qt::Key_At, Qt::GroupSwitchModifier, "@", bytes("@")},
            {"AltGr reported with Alt", Qt::Key_AsciiTilde, kAlt | Qt::GroupSwitchModifier, "~", bytes("~")},
            {"a composed character under Alt", Qt::Key_A, kAlt, "å", bytes("\xc3\xa5")},
        });
    // The word keys stay what they are while a program has the kitty protocol on.
    feed(*view, "\x1b[>1u");
    expectKeys(*view, dump,
               {
                   {"Alt+Left (kitty)", Qt::Key_Left, kAlt, "",
                    bytes("\x1b"
                          "b")},
                   {"Alt+Backspace (kitty)", Qt::Key_Backspace, kAlt, "\x7f", bytes("\x1b\x7f")},
                   {"Alt+b (kitty)", Qt::Key_B, kAlt, "b", bytes("\x1b[98;3u")},
               });
}

TEST_F(ViewTest, KittyFlagsOneDisambiguateWithoutTouchingTextEnterTabOrBackspace) {
    auto view = makeDumpView();
    InputDump dump(dumpPath);
    feed(*view, "\x1b[>1u");
    ASSERT_EQ(view->terminal().kittyKbdFlags(), 1);
    expectKeys(*view, dump,
               {
                   {"a", Qt::Key_A, kNone, "a", bytes("a")},
                   {"Shift+a", Qt::Key_A, kShift, "A", bytes("A")},
                   {"release of a (no event types)", Qt::Key_A, kNone, "a", {}, QEvent::KeyRelease},
                   {"Control+a", Qt::Key_A, kCtrl, "\x01", bytes("\x1b[97;5u")},
                   // Control+Shift+A is Select All; B is bound to nothing.
                   {"Control+Shift+b", Qt::Key_B, kCtrl | kShift, "\x02", bytes("\x1b[98;6u")},
                   {"Return", Qt::Key_Return, kNone, "\r", bytes("\r")},
                   {"Tab", Qt::Key_Tab, kNone, "\t", bytes("\t")},
                   {"Backspace", Qt::Key_Backspace, kNone, "\x7f", bytes("\x7f")},
                   {"Shift+Return", Qt::Key_Return, kShift, "\r", bytes("\x1b[13;2u")},
                   {"Control+Backspace", Qt::Key_Backspace, kCtrl, "\x7f", bytes("\x1b[127;5u")},
                   {"Shift+Tab", Qt::Key_Backtab, kShift, "", bytes("\x1b[9;2u")},
                   {"Escape", Qt::Key_Escape, kNone, "\x1b", bytes("\x1b[27u")},
                   {"keypad Enter", Qt::Key_Enter, Qt::KeypadModifier, "\r", bytes("\x1b[57414u")},
                   {"Up", Qt::Key_Up, kNone, "", bytes("\x1b[A")},
                   {"Down", Qt::Key_Down, kNone, "", bytes("\x1b[B")},
                   {"Right", Qt::Key_Right, kNone, "", bytes("\x1b[C")},
                   {"Left", Qt::Key_Left, kNone, "", bytes("\x1b[D")},
                   {"Control+Up", Qt::Key_Up, kCtrl, "", bytes("\x1b[1;5A")},
                   {"Home", Qt::Key_Home, kNone, "", bytes("\x1b[H")},
                   {"Control+End", Qt::Key_End, kCtrl, "", bytes("\x1b[1;5F")},
                   {"Insert", Qt::Key_Insert, kNone, "", bytes("\x1b[2~")},
                   {"Delete", Qt::Key_Delete, kNone, "", bytes("\x1b[3~")},
                   {"Page Up", Qt::Key_PageUp, kNone, "", bytes("\x1b[5~")},
                   {"Control+Page Down", Qt::Key_PageDown, kCtrl, "", bytes("\x1b[6;5~")},
                   {"F1", Qt::Key_F1, kNone, "", bytes("\x1b[P")},
                   {"F2", Qt::Key_F2, kNone, "", bytes("\x1b[Q")},
                   {"F3", Qt::Key_F3, kNone, "", bytes("\x1b[13~")},
                   {"Shift+F3", Qt::Key_F3, kShift, "", bytes("\x1b[13;2~")},
                   {"F4", Qt::Key_F4, kNone, "", bytes("\x1b[S")},
                   {"Alt+F4", Qt::Key_F4, kAlt, "", bytes("\x1b[1;3S")},
                   {"F5", Qt::Key_F5, kNone, "", bytes("\x1b[15~")},
                   {"F6", Qt::Key_F6, kNone, "", bytes("\x1b[17~")},
                   {"F7", Qt::Key_F7, kNone, "", bytes("\x1b[18~")},
                   {"F8", Qt::Key_F8, kNone, "", bytes("\x1b[19~")},
                   {"F9", Qt::Key_F9, kNone, "", bytes("\x1b[20~")},
                   {"F10", Qt::Key_F10, kNone, "", bytes("\x1b[21~")},
                   {"F11", Qt::Key_F11, kNone, "", bytes("\x1b[23~")},
                   {"F12", Qt::Key_F12, kNone, "", bytes("\x1b[24~")},
               });
}

TEST_F(ViewTest, KittyFlagsThreeReportPressRepeatAndRelease) {
    auto view = makeDumpView();
    InputDump dump(dumpPath);
    feed(*view, "\x1b[>3u");
    ASSERT_EQ(view->terminal().kittyKbdFlags(), 3);
    const auto release = QEvent::KeyRelease;
    expectKeys(
        *view, dump,
        {
            {"a", Qt::Key_A, kNone, "a", bytes("a")},
            {"a repeated", Qt::Key_A, kNone, "a", bytes("a"), QEvent::KeyPress, true},
            {"X11's release before a repeat", Qt::Key_A, kNone, "a", {}, release, true},
            {"release of a", Qt::Key_A, kNone, "a", bytes("\x1b[97;1:3u"), release},
            {"Control+a", Qt::Key_A, kCtrl, "\x01", bytes("\x1b[97;5:1u")},
            {"Control+a repeated", Qt::Key_A, kCtrl, "\x01", bytes("\x1b[97;5:2u"), QEvent::KeyPress, true},
            {"release of Control+a", Qt::Key_A, kCtrl, "\x01", bytes("\x1b[97;5:3u"), release},
            {"Up", Qt::Key_Up, kNone, "", bytes("\x1b[1;1:1A")},
            {"Up repeated", Qt::Key_Up, kNone, "", bytes("\x1b[1;1:2A"), QEvent::KeyPress, true},
            {"release of Up", Qt::Key_Up, kNone, "", bytes("\x1b[1;1:3A"), release},
            {"F5", Qt::Key_F5, kNone, "", bytes("\x1b[15;1:1~")},
            {"release of F5", Qt::Key_F5, kNone, "", bytes("\x1b[15;1:3~"), release},
            {"Escape", Qt::Key_Escape, kNone, "\x1b", bytes("\x1b[27;1:1u")},
            {"Return", Qt::Key_Return, kNone, "\r", bytes("\r")},
            {"release of Return", Qt::Key_Return, kNone, "\r", {}, release},
            {"release of Shift+Return", Qt::Key_Return, kShift, "\r", bytes("\x1b[13;2:3u"), release},
            {"release of Shift alone", Qt::Key_Shift, kNone, "", {}, release},
        });
    // The program pops its flags: keys are xterm's again and releases send nothing.
    feed(*view, "\x1b[<u");
    expectKeys(*view, dump,
               {
                   {"Control+a after the pop", Qt::Key_A, kCtrl, "\x01", bytes("\x01")},
                   {"release after the pop", Qt::Key_A, kCtrl, "\x01", {}, release},
               });
}

// Each chord of the bindings table in both its Control and its Super form: the program's commands
// go to the controller, the line editor's jumps become bytes; an unbound Super chord types nothing.
TEST_F(ViewTest, BoundChordsGoToTheControllerOrBecomeLineEditorBytes) {
    auto view = makeDumpView();
    InputDump dump(dumpPath);
    expectKeys(*view, dump,
               {
                   {"Control+1", Qt::Key_1, kCtrl, "1", {}},
                   {"Control+Shift+2 (US layout gives @)", Qt::Key_At, kCtrl | kShift, "@", {}},
                   {"Control+Shift+1", Qt::Key_Exclam, kCtrl | kShift, "!", {}},
                   {"Control+Shift+Alt+2", Qt::Key_At, kCtrl | kShift | kAlt, "@", {}},
                   {"Super+Alt+2", Qt::Key_2, kSuper | kAlt, "2", {}},
                   {"Super+Alt+4", Qt::Key_4, kSuper | kAlt, "4", {}},
                   {"Control+Shift+D", Qt::Key_D, kCtrl | kShift, "\x04", {}},
                   {"Super+D", Qt::Key_D, kSuper, "d", {}},
                   {"Control+Shift+Alt+D", Qt::Key_D, kCtrl | kShift | kAlt, "\x04", {}},
                   {"Super+Shift+D", Qt::Key_D, kSuper | kShift, "D", {}},
                   {"Alt+Tab", Qt::Key_Tab, kAlt, "\t", {}},
                   {"Control+Shift+T", Qt::Key_T, kCtrl | kShift, "\x14", {}},
                   {"Super+T", Qt::Key_T, kSuper, "t", {}},
                   {"Super+J is bound to nothing and types nothing", Qt::Key_J, kSuper, "j", {}},
                   {"Control+Shift+Left", Qt::Key_Left, kCtrl | kShift, "", bytes("\x01")},
                   {"Super+Left", Qt::Key_Left, kSuper, "", bytes("\x01")},
                   {"Control+Shift+Right", Qt::Key_Right, kCtrl | kShift, "", bytes("\x05")},
                   {"Super+Right", Qt::Key_Right, kSuper, "", bytes("\x05")},
                   {"Control+Shift+Backspace", Qt::Key_Backspace, kCtrl | kShift, "", bytes("\x15")},
                   {"Super+Backspace", Qt::Key_Backspace, kSuper, "", bytes("\x15")},
                   {"Control+Shift+Z", Qt::Key_Z, kCtrl | kShift, "\x1a", bytes("\x1f")},
                   {"Super+Z", Qt::Key_Z, kSuper, "z", bytes("\x1f")},
                   {"Control+Shift+\\ (US layout gives |)", Qt::Key_Bar, kCtrl | kShift, "|", bytes("\x15")},
                   {"Super+\\", Qt::Key_Backslash, kSuper, "\\", bytes("\x15")},
                   // Plain Control and Alt chords stay the shell's.
                   {"Control+T", Qt::Key_T, kCtrl, "\x14", bytes("\x14")},
                   {"Alt+t", Qt::Key_T, kAlt, "t", bytes("\x1bt")},
               });
    EXPECT_EQ(host.calls,
              QStringList({"switchToTab1", "renameTab2", "renameTab1", "snapLeft", "snapLeft",
                           "toggleFullscreen", "splitSideBySide", "splitSideBySide", "splitStacked",
                           "splitStacked", "switchSplitPane", "newTab", "newTab"}));

    // Control+Shift+C copies the selection and Control+Shift+V pastes, as in other terminals here.
    feed(*view, "\x1b[2J\x1b[Hcopy me\r\n");
    const auto sb = std::int64_t(view->terminal().scrollback().size());
    view->setSelection(GridPos{sb, 0}, GridPos{sb, 6});
    QGuiApplication::clipboard()->clear();
    send(*view, {"Control+Shift+C", Qt::Key_C, kCtrl | kShift, "\x03", {}});
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "copy me");
    QGuiApplication::clipboard()->setText("pasted");
    send(*view, {"Control+Shift+V", Qt::Key_V, kCtrl | kShift, "\x16", {}});
    EXPECT_EQ(visible(dump.take(6)), "pasted");
    EXPECT_EQ(visible(dump.rest(*view)), "");
}

TEST_F(ViewTest, ShiftArrowsMoveTheSelectionEndFromTheCursor) {
    auto view = makeDumpView();
    feed(*view, "\x1b[2J\x1b[3;5H"); // cursor on row 2, column 4
    const auto sb = std::int64_t(view->terminal().scrollback().size());
    const auto press = [&](int key) { send(*view, {"", key, kShift, "", {}}); };
    press(Qt::Key_Right);
    EXPECT_EQ(view->selStart(), (GridPos{sb + 2, 4}));
    EXPECT_EQ(view->selEnd(), (GridPos{sb + 2, 5}));
    press(Qt::Key_Up);
    press(Qt::Key_Up);
    press(Qt::Key_Up); // stays on the first row
    EXPECT_EQ(view->selEnd(), (GridPos{0, 5}));
    view->setSelection(GridPos{sb + 1, 0}, GridPos{sb + 1, 0});
    press(Qt::Key_Left); // column 0: the last column of the row above
    EXPECT_EQ(view->selEnd(), (GridPos{sb, view->terminal().cols() - 1}));
    EXPECT_EQ(view->selStart(), (GridPos{sb + 1, 0}));
    // Any key typed ends the selection.
    send(*view, {"x", Qt::Key_X, kNone, "x", {}});
    EXPECT_FALSE(view->selStart().has_value());
}

TEST_F(ViewTest, KeysBeforeTheShellSpeaksAndKeysWhileScrolledBack) {
    // A child that waits before it prints anything (until the test lets it go on): keys and pastes
    // meanwhile wait for it and arrive in order once it has spoken.
    const QString slow = home.filePath("slow-shell");
    const QString go = home.filePath("go");
    QFile script(slow);
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\nstty raw -echo\nwhile [ ! -e '" + QFile::encodeName(go) +
                 "' ]; do sleep 0.01; done\nprintf ready\nexec cat > '" + QFile::encodeName(dumpPath) +
                 "'\n");
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    auto view = makeView(slow);
    ASSERT_FALSE(view->shellReady());
    send(*view, {"early", Qt::Key_A, kNone, "a", {}});
    QGuiApplication::clipboard()->setText("pasted");
    send(*view, {"Control+Shift+V", Qt::Key_V, kCtrl | kShift, "\x16", {}});
    send(*view, {"late", Qt::Key_Z, kNone, "z", {}});
    ASSERT_FALSE(view->shellReady()) << "the shell spoke too early for this test";
    ASSERT_TRUE(QFile(go).open(QIODevice::WriteOnly));
    ASSERT_TRUE(QTest::qWaitFor([&] { return view->shellReady() && QFile::exists(dumpPath); }, 20000));
    InputDump dump(dumpPath);
    EXPECT_EQ(visible(dump.take(8)), "apastedz") << "keys typed before the shell spoke were lost";
    for (int i = 0; i < 60; ++i) feed(*view, "line\r\n");
    view->setSmoothScrollY(view->cellH() * 5);
    ASSERT_TRUE(view->isScrolledBack());
    send(*view, {"b", Qt::Key_B, kNone, "b", {}});
    EXPECT_EQ(visible(dump.take(1)), "b");
    EXPECT_EQ(view->smoothScrollY(), 0) << "typing returns to the live screen";
    EXPECT_EQ(visible(dump.rest(*view)), "");
}

TEST_F(ViewTest, ShiftPageKeysScrollTheHistoryUnlessTheProgramTakesThem) {
    auto view = makeView();
    ASSERT_TRUE(runAndWait(*view, "seq 1 400; echo end$((6*7))", "end42"));
    // The prompt after it, so that no output moves the history while the keys page through it.
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            const Terminal& t = view->terminal();
            return t.cursorY() > 0 && gridLine(t, t.cursorY() - 1) == "end42" &&
                   !gridLine(t, t.cursorY()).isEmpty();
        },
        20000));
    const std::int64_t rows = view->terminal().rows();
    const auto lines = std::int64_t(view->terminal().scrollback().size());
    ASSERT_GT(lines, 3 * rows);
    const auto press = [&](int key) { send(*view, {"", key, kShift, "", {}}); };
    struct Step {
        const char* name;
        int key;
        std::int64_t offset;
    };
    const Step steps[] = {
        {"Shift+Page Up", Qt::Key_PageUp, rows},
        {"Shift+Page Up again", Qt::Key_PageUp, 2 * rows},
        {"Shift+Page Down", Qt::Key_PageDown, rows},
        {"Shift+Home", Qt::Key_Home, lines},
        {"Shift+Page Up at the top", Qt::Key_PageUp, lines},
        {"Shift+End", Qt::Key_End, 0},
        {"Shift+Page Down on the live screen", Qt::Key_PageDown, 0},
    };
    for (const Step& step : steps) {
        press(step.key);
        EXPECT_EQ(view->scrollbackOffset(), step.offset) << step.name;
    }
    EXPECT_FALSE(view->isScrolledBack());
    // The shell was sent none of them: a command typed now runs as typed.
    ASSERT_TRUE(runAndWait(*view, "echo typed$((6*7))", "typed42"));
    const QStringList shown = screenText(view->terminal()).split(QLatin1Char('\n'));
    const auto typed = std::find_if(shown.begin(), shown.end(),
                                    [](const QString& line) { return line.contains("echo typed"); });
    ASSERT_NE(typed, shown.end());
    EXPECT_TRUE(typed->endsWith("# echo typed$((6*7))") || typed->endsWith("$ echo typed$((6*7))"))
        << typed->toStdString();

    // A full-screen program, or one that reads the mouse, gets the keys.
    auto program = makeDumpView();
    InputDump dump(dumpPath);
    for (int i = 0; i < 3 * rows; ++i) feed(*program, "line\r\n");
    feed(*program, "\x1b[?1049h");
    expectKeys(
        *program, dump,
        {{"Shift+Page Up on the alternate screen", Qt::Key_PageUp, kShift, "", bytes("\x1b[5;2~")},
         {"Shift+Page Down on the alternate screen", Qt::Key_PageDown, kShift, "", bytes("\x1b[6;2~")}});
    feed(*program, "\x1b[?1049l\x1b[?1000h");
    expectKeys(*program, dump,
               {{"Shift+Page Up with mouse reports", Qt::Key_PageUp, kShift, "", bytes("\x1b[5;2~")},
                {"Shift+Home with mouse reports", Qt::Key_Home, kShift, "", bytes("\x1b[1;2H")}});
    EXPECT_FALSE(program->isScrolledBack());
    feed(*program, "\x1b[?1000l");
    send(*program, {"", Qt::Key_PageUp, kShift, "", {}});
    EXPECT_EQ(program->scrollbackOffset(), rows);
    EXPECT_EQ(visible(dump.rest(*program)), "");
}
