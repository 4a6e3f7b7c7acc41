#pragma once

// The bytes a key sends to the program in the terminal: xterm's sequences for the keys that have
// one, and the kitty keyboard protocol for programs that ask for it. Plain functions of the key and
// the terminal's modes, so that every row of the tables can be checked without a window.

#include <QByteArray>
#include <QString>
#include <Qt>
#include <optional>

namespace keys {

// The keys that send a sequence of their own rather than a character.
enum class FunctionalKey {
    none,
    up,
    down,
    right,
    left,
    home,
    end,
    pageUp,
    pageDown,
    insert,
    forwardDelete,
    f1,
    f2,
    f3,
    f4,
    f5,
    f6,
    f7,
    f8,
    f9,
    f10,
    f11,
    f12,
};

// The functional key of a Qt key (keypad navigation keys included), or none.
FunctionalKey functionalKeyOf(int qtKey);

// Modifier keys, locks and dead keys: pressing one alone sends nothing.
bool isModifierOnlyKey(int qtKey);

// The character the key makes without modifiers, as the layout's first level gives it: the lower-case
// letter for a letter key, the key's own character for the other printable keys. Shift is not undone
// for symbols (the layout is not known here), so Shift+1 gives "!". Nothing for keys without one.
std::optional<char32_t> unmodifiedCharacter(int qtKey, const QString& text);

// The first Unicode scalar of a text, or nothing for an empty one.
std::optional<char32_t> firstScalar(const QString& text);

// A text that types something: its first scalar is neither a C0 control nor DEL.
bool isPrintableText(const QString& text);

// xterm's modifier parameter: 1, plus 1 for Shift, 2 for Alt and 4 for Control.
int xtermModifierParam(bool shift, bool alt, bool control);

// A functional key in xterm's form: `m` is the modifier parameter (1 for none). Unmodified cursor keys
// and Home and End take the SS3 form in application cursor mode; with modifiers every key takes the
// "CSI 1 ; m" form. Empty for FunctionalKey::none.
QByteArray xtermFunctionalKey(FunctionalKey key, int m, bool appCursorMode);

// The control byte that Control plus a character makes: 'a'..'z' give 0x01..0x1A, '@' and the
// space 0x00, '[' '\\' ']' '^' '_' give 0x1B..0x1F. Nothing for other characters.
std::optional<char> controlByte(char32_t unmodified);

// What the kitty protocol encodes: one key event with the modifiers of the table and the text the
// layout produced.
struct KeyInput {
    int key = 0; // a Qt::Key
    bool shift = false;
    bool alt = false;
    bool control = false;
    bool super = false;
    bool keypad = false;
    QString text; // the event's characters
};

enum class KeyEventType { press = 1, repeat = 2, release = 3 };

// The kitty flags this terminal honours.
inline constexpr int kKittyDisambiguate = 1;
inline constexpr int kKittyReportEventTypes = 2;
inline constexpr int kKittyReportAlternates = 4;

// The key in the kitty keyboard protocol for the engine's flags, or nothing when the protocol does
// not ask for this event, in which case the key goes the legacy way (a release then sends nothing).
// Keys that type text without modifiers other than Shift, and Enter, Tab and Backspace without any
// modifier, keep their legacy bytes, so that text still types and a shell left in the mode by a
// crashed program still takes "reset" and Enter.
std::optional<QByteArray> kittyEncode(const KeyInput& input, KeyEventType type, int flags);

} // namespace keys
