#include "terminalview/Utf8StreamDecoder.h"

#include <QList>
#include <QStringList>
#include <gtest/gtest.h>

TEST(Utf8StreamDecoder, CarriesAnUnfinishedCharacterToTheNextPiece) {
    const struct {
        QList<QByteArray> pieces;
        QStringList texts; // "<none>" for a piece that yields no text
    } cases[] = {
        {{"ab", "cd"}, {"ab", "cd"}},
        {{"x\xE2\x82", "\xACy"}, {"x", QString(QChar(0x20AC)) + "y"}},
        {{"\xE2", "\x82", "\xAC"}, {"", "", QString(QChar(0x20AC))}},
        {{"\xF0\x9F", "\x98\x80!"}, {"", QString::fromUtf8("\xF0\x9F\x98\x80!")}},
        {{"\xC3", "\xA9"}, {"", QString(QChar(0xE9))}},
        // Bytes that are not UTF-8 give no text, and the stream recovers with the next piece.
        {{"a\xFF", "b"}, {"<none>", "b"}},
        {{"\xC0\xAF", "ok"}, {"<none>", "ok"}},         // overlong
        {{"\xED\xA0\x80", "ok"}, {"<none>", "ok"}},     // surrogate
        {{"\xF4\x90\x80\x80", "ok"}, {"<none>", "ok"}}, // above U+10FFFF
        {{"\xE2\x82", "A"}, {"", "<none>"}},            // a started character that never finishes
    };
    for (const auto& c : cases) {
        Utf8StreamDecoder decoder;
        for (int i = 0; i < c.pieces.size(); ++i) {
            const std::optional<QString> text = decoder.decode(c.pieces[i]);
            const QString shown = text ? *text : QString("<none>");
            EXPECT_EQ(shown, c.texts[i]) << c.pieces[i].toHex().constData();
        }
    }
}

TEST(Utf8StreamDecoder, ResetDropsTheCarry) {
    Utf8StreamDecoder decoder;
    EXPECT_EQ(decoder.decode("\xE2\x82"), QString());
    EXPECT_EQ(decoder.carriedBytes(), 2);
    decoder.reset();
    EXPECT_EQ(decoder.decode("ok"), QString("ok"));
}
