// The key tables on their own: what the view's key tests do not reach through real events.
#include "terminalview/KeyEncoding.h"

#include <gtest/gtest.h>

using keys::KeyEventType;
using keys::KeyInput;

namespace {
std::string kitty(const KeyInput& in, KeyEventType type, int flags) {
    const std::optional<QByteArray> bytes = keys::kittyEncode(in, type, flags);
    return bytes ? bytes->toStdString() : std::string("(legacy)");
}
} // namespace

TEST(KeyEncodingTest, KittyAlternateTextAndSuper) {
    KeyInput altShiftA{Qt::Key_A, true, true, false, false, false, "A"};
    EXPECT_EQ(kitty(altShiftA, KeyEventType::press, 5), "\x1b[97;4;65u");
    EXPECT_EQ(kitty(altShiftA, KeyEventType::press, 1), "\x1b[97;4u");
    KeyInput ctrlA{Qt::Key_A, false, false, true, false, false, "\x01"};
    EXPECT_EQ(kitty(ctrlA, KeyEventType::press, 5), "\x1b[97;5u") << "a control character is no text";
    KeyInput superX{Qt::Key_X, false, false, false, true, false, "x"};
    EXPECT_EQ(kitty(superX, KeyEventType::press, 1), "\x1b[120;9u");
    // Functional keys carry no text field, whatever the platform puts in the event.
    KeyInput up{Qt::Key_Up, false, false, false, false, false, QString(QChar(0xF700))};
    EXPECT_EQ(kitty(up, KeyEventType::press, 5), "\x1b[A");
    EXPECT_EQ(kitty(up, KeyEventType::press, 0), "(legacy)");
    // Flags beyond 1, 2 and 4 change nothing.
    EXPECT_EQ(kitty(up, KeyEventType::press, 1 | 8 | 16), "\x1b[A");
    KeyInput cyrillic{0x0416, false, false, true, false, false, QString(QChar(0x16))};
    EXPECT_EQ(kitty(cyrillic, KeyEventType::press, 1), "\x1b[1078;5u") << "the lower-case letter's code";
}

TEST(KeyEncodingTest, CharactersWithoutModifiersAndControlBytes) {
    EXPECT_EQ(keys::unmodifiedCharacter(Qt::Key_Q, "\x11"), U'q');
    EXPECT_EQ(keys::unmodifiedCharacter(Qt::Key_BracketRight, "\x1d"), U']');
    EXPECT_EQ(keys::unmodifiedCharacter(Qt::Key_Adiaeresis, "Ä"), U'ä');
    EXPECT_FALSE(keys::unmodifiedCharacter(Qt::Key_F13, "").has_value());
    EXPECT_FALSE(keys::unmodifiedCharacter(Qt::Key_Tab, "\t").has_value());
    EXPECT_EQ(keys::controlByte(U'a'), '\x01');
    EXPECT_EQ(keys::controlByte(U'@'), '\0');
    EXPECT_EQ(keys::controlByte(U'^'), '\x1e');
    EXPECT_FALSE(keys::controlByte(U'1').has_value());
    EXPECT_EQ(keys::xtermFunctionalKey(keys::FunctionalKey::f3, 2, false), "\x1b[1;2R");
    EXPECT_EQ(keys::xtermFunctionalKey(keys::FunctionalKey::end, 1, true), "\x1bOF");
    EXPECT_EQ(keys::xtermFunctionalKey(keys::FunctionalKey::none, 1, false), "");
}
