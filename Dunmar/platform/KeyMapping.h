#pragma once

#include <QKeyCombination>
#include <Qt>

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

} // namespace keymap
