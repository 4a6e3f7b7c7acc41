#pragma once

#include <QKeyCombination>
#include <Qt>
#include <optional>

// The keyboard the program was designed for has Command, Option and Control. Here Command is the
// Super key, Option is Alt and Control stays Control; every shortcut and key test goes through this
// table so that the menu and the terminal agree on it.
namespace keymap {

inline constexpr Qt::KeyboardModifier kCommand = Qt::MetaModifier;
inline constexpr Qt::KeyboardModifier kOption = Qt::AltModifier;
inline constexpr Qt::KeyboardModifier kControl = Qt::ControlModifier;
inline constexpr Qt::KeyboardModifier kShift = Qt::ShiftModifier;

// Command plus a key, with further modifiers where a shortcut needs them (Shift+Command+D).
inline constexpr QKeyCombination command(Qt::Key key, Qt::KeyboardModifiers extra = {}) {
    return QKeyCombination(extra | kCommand, key);
}

// The modifiers of an event, read through the table. The keypad flag is not a modifier the user
// holds, so it never decides.
inline bool hasCommand(Qt::KeyboardModifiers m) {
    return m.testFlag(kCommand);
}
inline bool hasOption(Qt::KeyboardModifiers m) {
    return m.testFlag(kOption);
}
inline bool hasControl(Qt::KeyboardModifiers m) {
    return m.testFlag(kControl);
}
inline bool hasShift(Qt::KeyboardModifiers m) {
    return m.testFlag(kShift);
}

// AltGr (the third level of the layout) composes characters, like Option on the other keyboard; it is
// never a Meta key. X11 reports it as the group switch when it reports it at all.
inline bool hasAltGr(Qt::KeyboardModifiers m) {
    return m.testFlag(Qt::GroupSwitchModifier);
}

// The X11 key codes of the number row's 1 to 9 (evdev codes 2 to 10, plus 8). Shortcuts name the
// key by its place, whatever character Shift puts on it.
inline constexpr quint32 kX11KeycodeOne = 10;
inline constexpr quint32 kX11KeycodeNine = 18;

// The number key 1 to 9 of the main keyboard as an index 0 to 8, or nothing. The key's value
// decides when it is a digit; with Shift held the layout gives the shifted character, so the
// position (the X11 key code) decides, and without one the US layout's shifted row.
inline std::optional<int> numberRowIndex(int qtKey, quint32 nativeScanCode, bool keypad) {
    if (keypad) return std::nullopt;
    if (qtKey >= Qt::Key_1 && qtKey <= Qt::Key_9) return qtKey - Qt::Key_1;
    if (nativeScanCode >= kX11KeycodeOne && nativeScanCode <= kX11KeycodeNine)
        return int(nativeScanCode - kX11KeycodeOne);
    if (nativeScanCode != 0) return std::nullopt;
    switch (qtKey) {
    case Qt::Key_Exclam:
        return 0;
    case Qt::Key_At:
        return 1;
    case Qt::Key_NumberSign:
        return 2;
    case Qt::Key_Dollar:
        return 3;
    case Qt::Key_Percent:
        return 4;
    case Qt::Key_AsciiCircum:
        return 5;
    case Qt::Key_Ampersand:
        return 6;
    case Qt::Key_Asterisk:
        return 7;
    case Qt::Key_ParenLeft:
        return 8;
    default:
        return std::nullopt;
    }
}

} // namespace keymap
