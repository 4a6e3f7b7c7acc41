// Text from outside through the conversions every widget uses: visible escapes for controls and
// direction marks, plain labels, menu texts without mnemonics, tooltips that show the characters.
#include "platform/PlainText.h"

#include "support/HostileText.h"

#include <QAction>
#include <QMenu>
#include <QPushButton>
#include <gtest/gtest.h>

using plaintext::Lines;
using testsupport::hostileTexts;

TEST(PlainText, ControlsAndDirectionMarksBecomeVisibleEscapes) {
    struct Case {
        QString raw;
        QString oneLine;
        QString severalLines;
    };
    for (const Case& c : {
             Case{"evil\nline\x1b[31mred\u202ERTL", "evil\\nline\\e[31mred\\u202ERTL",
                  "evil\nline\\e[31mred\\u202ERTL"},
             Case{"a\tb\r\n", "a\\tb\\r\\n", "a\tb\\r\n"},
             Case{QString(QChar(0)) + "\x01\x07\x08\x0b\x0c\x1f\x7f", "\\x00\\x01\\a\\b\\v\\f\\x1F\\x7F",
                  "\\x00\\x01\\a\\b\\v\\f\\x1F\\x7F"},
             Case{"\u0085\u009b2J", "\\u0085\\u009B2J", "\\u0085\\u009B2J"},
             Case{"\u202A\u202B\u202C\u202D\u202E", "\\u202A\\u202B\\u202C\\u202D\\u202E",
                  "\\u202A\\u202B\\u202C\\u202D\\u202E"},
             Case{"\u2066\u2067\u2068\u2069\u200E\u200F\u061C",
                  "\\u2066\\u2067\\u2068\\u2069\\u200E\\u200F\\u061C",
                  "\\u2066\\u2067\\u2068\\u2069\\u200E\\u200F\\u061C"},
             Case{"a\u2028b\u2029c", "a\\u2028b\\u2029c", "a\\u2028b\\u2029c"},
             // Text itself, right-to-left script, joined emoji and backslashes stay as they are.
             Case{"main <b> & \u05E9\u05DC\u05D5\u05DD \U0001F469\u200D\U0001F4BB C:\\n",
                  "main <b> & \u05E9\u05DC\u05D5\u05DD \U0001F469\u200D\U0001F4BB C:\\n",
                  "main <b> & \u05E9\u05DC\u05D5\u05DD \U0001F469\u200D\U0001F4BB C:\\n"},
         }) {
        EXPECT_EQ(plaintext::visibleEscapes(c.raw), c.oneLine);
        EXPECT_EQ(plaintext::visibleEscapes(c.raw, Lines::kept), c.severalLines);
    }
}

TEST(PlainText, EveryHostileTextIsShownAsItsCharacters) {
    for (const auto& [name, raw] : hostileTexts()) {
        SCOPED_TRACE(name);
        // A label, even one that was made for rich text.
        QLabel label;
        label.setTextFormat(Qt::RichText);
        plaintext::setLabelText(&label, raw);
        testsupport::expectPlainLabel(&label, raw);
        EXPECT_FALSE(plaintext::visibleEscapes(raw).contains(QLatin1Char('\n')));

        // A menu item and a button: the text comes back with every '&' and no mnemonic.
        QMenu menu;
        QAction* action = menu.addAction(plaintext::menuText(raw));
        testsupport::expectMenuText(action->text(), raw);
        QPushButton button(plaintext::menuText(raw));
        testsupport::expectMenuText(button.text(), raw);
        EXPECT_TRUE(button.shortcut().isEmpty());

        // A tooltip reads as the same characters whether Qt takes it for rich text or not.
        testsupport::expectPlainToolTip(plaintext::toolTip(raw), raw);
    }
}
