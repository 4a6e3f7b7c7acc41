// The bindings table: which chord asks for which action, in a terminal pane and in an editor tab,
// and which keys it leaves to the shell and the editor.
#include "actions/KeyBindings.h"

#include <QKeySequence>
#include <gtest/gtest.h>

namespace {

constexpr Qt::KeyboardModifiers kNone = Qt::NoModifier;
constexpr Qt::KeyboardModifiers kCtrl = Qt::ControlModifier;
constexpr Qt::KeyboardModifiers kShift = Qt::ShiftModifier;
constexpr Qt::KeyboardModifiers kAlt = Qt::AltModifier;
constexpr Qt::KeyboardModifiers kSuper = Qt::MetaModifier;

using bindings::Place;

std::string nameOf(std::optional<Action> action) {
    return action ? actions::name(*action) : "(none)";
}

// A key press as an event reports it: the key, the modifiers, the X11 key code (0: unknown).
std::optional<Action> pressed(int key, Qt::KeyboardModifiers mods, Place place, quint32 scanCode = 0) {
    return bindings::actionFor(bindings::chordOf(key, mods, scanCode), place);
}

} // namespace

TEST(KeyBindings, ChordsInTheirControlAndSuperFormsAskForTheirActions) {
    struct Case {
        const char* name;
        int key;
        Qt::KeyboardModifiers mods;
        Place place;
        Action action;
        quint32 scanCode = 0;
    };
    const Case cases[] = {
        // The main menu's commands, in terminals and editors alike.
        {"Control+Shift+T", Qt::Key_T, kCtrl | kShift, Place::terminal, Action::newTab},
        {"Super+T", Qt::Key_T, kSuper, Place::terminal, Action::newTab},
        {"Control+Shift+T in an editor", Qt::Key_T, kCtrl | kShift, Place::editor, Action::newTab},
        {"Control+Shift+E", Qt::Key_E, kCtrl | kShift, Place::terminal, Action::newEditorTab},
        {"Control+Shift+W", Qt::Key_W, kCtrl | kShift, Place::terminal, Action::closeTab},
        {"Super+W", Qt::Key_W, kSuper, Place::editor, Action::closeTab},
        {"Control+Shift+C", Qt::Key_C, kCtrl | kShift, Place::terminal, Action::copy},
        {"Super+C", Qt::Key_C, kSuper, Place::terminal, Action::copy},
        {"Control+Shift+V", Qt::Key_V, kCtrl | kShift, Place::terminal, Action::paste},
        {"Super+V", Qt::Key_V, kSuper, Place::terminal, Action::paste},
        {"Control+Shift+A", Qt::Key_A, kCtrl | kShift, Place::terminal, Action::selectAll},
        {"Control+Shift+K", Qt::Key_K, kCtrl | kShift, Place::terminal, Action::clearScrollback},
        {"Control+Shift+Q", Qt::Key_Q, kCtrl | kShift, Place::editor, Action::quit},
        // Tabs by number: Control shows, Control+Shift renames, whatever Shift made of the digit.
        {"Control+1", Qt::Key_1, kCtrl, Place::terminal, Action::switchToTab1},
        {"Control+9 in an editor", Qt::Key_9, kCtrl, Place::editor, Action::switchToTab9},
        {"Control+Shift+1 (US: !)", Qt::Key_Exclam, kCtrl | kShift, Place::terminal, Action::renameTab1},
        {"Control+Shift+2 by key code (another layout's quote)", Qt::Key_QuoteDbl, kCtrl | kShift,
         Place::terminal, Action::renameTab2, 11},
        // Shells and the window: Control+Alt and Control+Shift+Alt with a digit.
        {"Control+Alt+1", Qt::Key_1, kCtrl | kAlt, Place::terminal, Action::switchShell1},
        {"Super+3", Qt::Key_3, kSuper, Place::terminal, Action::switchShell3},
        {"Control+Shift+Alt+1", Qt::Key_Exclam, kCtrl | kShift | kAlt, Place::terminal,
         Action::resetWindowSize},
        {"Super+Alt+2", Qt::Key_2, kSuper | kAlt, Place::terminal, Action::snapLeft},
        {"Control+Shift+Alt+3", Qt::Key_NumberSign, kCtrl | kShift | kAlt, Place::terminal,
         Action::snapRight},
        {"Super+Alt+4", Qt::Key_4, kSuper | kAlt, Place::terminal, Action::toggleFullscreen},
        // Splits and panes.
        {"Control+Shift+D", Qt::Key_D, kCtrl | kShift, Place::terminal, Action::splitSideBySide},
        {"Super+D", Qt::Key_D, kSuper, Place::terminal, Action::splitSideBySide},
        {"Control+Shift+Alt+D", Qt::Key_D, kCtrl | kShift | kAlt, Place::terminal, Action::splitStacked},
        {"Super+Shift+D", Qt::Key_D, kSuper | kShift, Place::terminal, Action::splitStacked},
        {"Alt+Tab", Qt::Key_Tab, kAlt, Place::terminal, Action::switchSplitPane},
        {"Alt+Shift+Tab (Backtab)", Qt::Key_Backtab, kAlt | kShift, Place::terminal, Action::switchSplitPane},
        // The line editor's keys.
        {"Control+Shift+Left", Qt::Key_Left, kCtrl | kShift, Place::terminal, Action::lineStart},
        {"Super+Right", Qt::Key_Right, kSuper, Place::terminal, Action::lineEnd},
        {"Control+Shift+Backspace", Qt::Key_Backspace, kCtrl | kShift, Place::terminal, Action::killLine},
        {"Control+Shift+\\ (US: |)", Qt::Key_Bar, kCtrl | kShift, Place::terminal, Action::killLine},
        {"Super+\\", Qt::Key_Backslash, kSuper, Place::terminal, Action::killLine},
        {"Control+Shift+Z", Qt::Key_Z, kCtrl | kShift, Place::terminal, Action::undo},
        // Editor tabs.
        {"Control+Shift+S", Qt::Key_S, kCtrl | kShift, Place::editor, Action::save},
        {"Super+S", Qt::Key_S, kSuper, Place::editor, Action::save},
        {"Control+Shift+Alt+S", Qt::Key_S, kCtrl | kShift | kAlt, Place::editor, Action::saveAs},
        {"Super+Shift+S", Qt::Key_S, kSuper | kShift, Place::editor, Action::saveAs},
        {"Control+Shift+O", Qt::Key_O, kCtrl | kShift, Place::editor, Action::openFile},
        {"Control+Shift+X", Qt::Key_X, kCtrl | kShift, Place::editor, Action::cut},
        {"Control+Shift+Z in an editor", Qt::Key_Z, kCtrl | kShift, Place::editor, Action::undo},
        {"Control+Shift+Alt+Z", Qt::Key_Z, kCtrl | kShift | kAlt, Place::editor, Action::redo},
        {"Control+Shift+F", Qt::Key_F, kCtrl | kShift, Place::editor, Action::find},
        {"Shift+Alt+F", Qt::Key_F, kShift | kAlt, Place::editor, Action::formatDocument},
        // Keypad and group-switch flags do not change a chord.
        {"Control+Shift+T with AltGr's group flag", Qt::Key_T, kCtrl | kShift | Qt::GroupSwitchModifier,
         Place::terminal, Action::newTab},
    };
    for (const Case& c : cases)
        EXPECT_EQ(nameOf(pressed(c.key, c.mods, c.place, c.scanCode)), actions::name(c.action)) << c.name;
}

// Chords must not take keys the shell needs: plain Control with a letter is the shell's control
// byte, Alt is its Meta key, and the editor-only chords are no terminal chords (and back).
TEST(KeyBindings, KeysTheShellAndTheEditorNeedAreNotBound) {
    for (int key = Qt::Key_A; key <= Qt::Key_Z; ++key) {
        const char letter = char('A' + (key - Qt::Key_A));
        for (Place place : {Place::terminal, Place::editor}) {
            EXPECT_EQ(nameOf(pressed(key, kCtrl, place)), "(none)") << "Control+" << letter;
            EXPECT_EQ(nameOf(pressed(key, kAlt, place)), "(none)") << "Alt+" << letter;
            EXPECT_EQ(nameOf(pressed(key, kAlt | kShift, place)),
                      key == Qt::Key_F && place == Place::editor ? "formatDocument" : "(none)")
                << "Alt+Shift+" << letter;
            EXPECT_EQ(nameOf(pressed(key, kNone, place)), "(none)") << letter;
            EXPECT_EQ(nameOf(pressed(key, kShift, place)), "(none)") << "Shift+" << letter;
        }
    }
    const struct {
        const char* name;
        int key;
        Qt::KeyboardModifiers mods;
        Place place;
    } unbound[] = {
        {"Control+0 is an ordinary key", Qt::Key_0, kCtrl, Place::terminal},
        {"Control with a keypad digit", Qt::Key_1, kCtrl | Qt::KeypadModifier, Place::terminal},
        {"Tab", Qt::Key_Tab, kNone, Place::terminal},
        {"Shift+Tab", Qt::Key_Backtab, kShift, Place::terminal},
        {"Control+Shift+Down", Qt::Key_Down, kCtrl | kShift, Place::terminal},
        {"Control+Left", Qt::Key_Left, kCtrl, Place::terminal},
        {"Alt+Left (word back)", Qt::Key_Left, kAlt, Place::terminal},
        {"Control+Shift+S in a terminal", Qt::Key_S, kCtrl | kShift, Place::terminal},
        {"Control+Shift+D in an editor", Qt::Key_D, kCtrl | kShift, Place::editor},
        {"Control+Alt+1 in an editor", Qt::Key_1, kCtrl | kAlt, Place::editor},
        {"Super with Control is no Super chord", Qt::Key_S, kSuper | kCtrl, Place::editor},
        {"Control+Shift+Space (dictation)", Qt::Key_Space, kCtrl | kShift, Place::terminal},
    };
    for (const auto& u : unbound) EXPECT_EQ(nameOf(pressed(u.key, u.mods, u.place)), "(none)") << u.name;
}

// No chord asks for two things in one place, and the chord an action shows is its Control form.
TEST(KeyBindings, EachChordHasOneActionInEachPlaceAndTheShownChordIsTheControlOne) {
    for (const bindings::Binding& b : bindings::table()) {
        for (Place place : {Place::terminal, Place::editor}) {
            const std::optional<Action> found = bindings::actionFor(b.chord, place);
            const bool live = b.scope == bindings::Scope::both ||
                              (b.scope == bindings::Scope::terminal) == (place == Place::terminal);
            if (live) {
                EXPECT_EQ(nameOf(found), actions::name(b.action))
                    << QKeySequence(b.chord).toString().toStdString();
            }
        }
        const QList<QKeyCombination> chords = bindings::chordsOf(b.action);
        ASSERT_FALSE(chords.isEmpty());
        EXPECT_FALSE(chords.first().keyboardModifiers().testFlag(Qt::MetaModifier))
            << actions::name(b.action) << " shows its Super chord";
    }
}
