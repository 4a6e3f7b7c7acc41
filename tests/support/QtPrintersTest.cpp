// Failures print Qt's text types as text a person can read.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <gtest/gtest.h>

namespace {

TEST(QtPrinters, TextPrintsAsQuotedUtf8WithControlsEscaped) {
    struct Case {
        QString text;
        std::string printed;
    };
    const Case cases[] = {
        {QStringLiteral("plain"), R"("plain")"},
        {QString::fromUtf8("Grüße, 世界 🙂"), "\"Grüße, 世界 🙂\""},
        {QStringLiteral("two\nlines\r\tand \"quotes\" \\"), R"("two\nlines\r\tand \"quotes\" \\")"},
        {QStringLiteral("\x1b[31mred"), R"("\e[31mred")"},
        {QString(QChar(0x07)) + QChar(0x9b) + QChar(0x7f), R"("\u0007\u009B\u007F")"},
        {QString(), R"("")"},
    };
    for (const Case& c : cases) EXPECT_EQ(testing::PrintToString(c.text), c.printed);
}

TEST(QtPrinters, BytesPrintAsQuotedAsciiWithOtherBytesInHex) {
    EXPECT_EQ(testing::PrintToString(QByteArray("ok \x1b[m\xc3\xa9\n\0end", 13)),
              R"("ok \e[m\xC3\xA9\n\x00end")");
}

TEST(QtPrinters, ListsOfTextPrintEachElementAsText) {
    EXPECT_EQ(testing::PrintToString(QStringList{QStringLiteral("a"), QStringLiteral("ß")}),
              "{ \"a\", \"ß\" }");
}

} // namespace
