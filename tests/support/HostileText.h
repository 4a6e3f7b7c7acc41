#pragma once

// The one table of hostile texts from outside (a page, a repository, a server, a shell, a profile)
// that every widget showing such text is tested with, and the checks of what a widget shows for one:
// the characters themselves, never markup, a mnemonic, a line break or a change of direction.

#include "platform/PlainText.h"

#include <QAbstractButton>
#include <QKeySequence>
#include <QLabel>
#include <QString>
#include <QStringList>
#include <QTextDocument>
#include <gtest/gtest.h>
#include <vector>

namespace testsupport {

struct HostileText {
    const char* name;
    QString text;
};

inline const std::vector<HostileText>& hostileTexts() {
    static const std::vector<HostileText> texts{
        {"bold markup", QStringLiteral("<b>bold</b>")},
        {"local image", QStringLiteral("<img src=\"file:///usr/share/icons/hicolor/16x16/apps/x.png\">img")},
        {"link", QStringLiteral("<a href=\"https://example.com/\">link</a>")},
        {"ampersand", QStringLiteral("Save & Quit")},
        {"entity", QStringLiteral("&lt;b&gt; &amp;")},
        {"doctype", QStringLiteral("<!doctype html><p>page")},
        {"very long", QString(3000, QLatin1Char('W')) + QStringLiteral("end")},
        {"right-to-left override", QStringLiteral("abc\u202Egnp.exe")},
        {"isolates and marks", QStringLiteral("x\u2067y\u2069\u200Fz")},
        {"newlines", QStringLiteral("first\nsecond\r\nthird")},
        {"escape sequence", QStringLiteral("evil\nline\x1b[31mred\u202ERTL")},
    };
    return texts;
}

// `shown` is `raw` as plain characters: its visible-escapes form, or pieces of that form in order
// around the "…" of an elision.
inline void expectShownAsText(const QString& shown, const QString& raw,
                              plaintext::Lines lines = plaintext::Lines::escaped) {
    const QString expected = plaintext::visibleEscapes(raw, lines);
    EXPECT_EQ(plaintext::visibleEscapes(shown, lines), shown) << "a control character is left in";
    if (shown == expected) return;
    ASSERT_TRUE(shown.contains(QChar(0x2026)))
        << shown.left(200).toStdString() << " for " << expected.left(200).toStdString();
    qsizetype from = 0;
    for (const QString& piece : shown.split(QChar(0x2026), Qt::SkipEmptyParts)) {
        const qsizetype at = expected.indexOf(piece, from);
        ASSERT_GE(at, 0) << piece.left(200).toStdString() << " is not in "
                         << expected.left(200).toStdString();
        from = at + piece.size();
    }
}

// A label shows `raw` as plain text.
inline void expectPlainLabel(const QLabel* label, const QString& raw,
                             plaintext::Lines lines = plaintext::Lines::escaped) {
    EXPECT_EQ(label->textFormat(), Qt::PlainText);
    expectShownAsText(label->text(), raw, lines);
}

// A button's, menu item's or action's text shows `raw`: no mnemonic, every '&' shown.
inline void expectMenuText(const QString& text, const QString& raw) {
    EXPECT_TRUE(QKeySequence::mnemonic(text).isEmpty()) << text.left(200).toStdString();
    expectShownAsText(QString(text).replace(QLatin1String("&&"), QLatin1String("&")), raw);
}

// A tooltip reads as `raw`'s characters when Qt shows it (as rich text when it looks like markup).
inline void expectPlainToolTip(const QString& tip, const QString& raw) {
    QTextDocument document;
    if (Qt::mightBeRichText(tip))
        document.setHtml(tip);
    else
        document.setPlainText(tip);
    EXPECT_EQ(document.toPlainText(), plaintext::visibleEscapes(raw, plaintext::Lines::kept));
}

} // namespace testsupport
