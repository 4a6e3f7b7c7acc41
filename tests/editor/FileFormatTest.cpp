// Files keep their spelling: encoding, byte-order mark and line endings come back as they were
// read, and a load that does not finish leaves the text it found.
#include "editor/EditorView.h"
#include "editor/TextFileCheck.h"
#include "support/Waits.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(missing)");
}

void writeAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

struct Sample {
    const char* name;
    QByteArray bytes;
    textfile::FileFormat format;
    QString text; // as the editor holds it
};

} // namespace

TEST(FileFormat, OpenAndSaveUnchangedIsByteIdentical) {
    using textfile::Encoding;
    using textfile::LineEnding;
    const std::vector<Sample> samples = {
        {"lf", "a\nb\n", {Encoding::utf8, LineEnding::lf}, "a\nb\n"},
        {"crlf", "a\r\nb\r\n", {Encoding::utf8, LineEnding::crlf}, "a\nb\n"},
        {"cr", "a\rb\r", {Encoding::utf8, LineEnding::cr}, "a\nb\n"},
        {"no final break", "a\r\nb", {Encoding::utf8, LineEnding::crlf}, "a\nb"},
        {"latin1", "gr\xfc\xdf\r\n", {Encoding::latin1, LineEnding::crlf}, QStringLiteral("grüß\n")},
        {"bom", "\xef\xbb\xbfx = 1\n", {Encoding::utf8Bom, LineEnding::lf}, "x = 1\n"},
        {"nbsp",
         "a\xc2\xa0"
         "b\n",
         {Encoding::utf8, LineEnding::lf},
         QStringLiteral("a\u00a0b\n")},
        {"line separator",
         "a\xe2\x80\xa8"
         "b\n",
         {Encoding::utf8, LineEnding::lf},
         QStringLiteral("a\u2028b\n")},
        {"empty", "", {Encoding::utf8, LineEnding::lf}, ""},
    };
    QTemporaryDir dir;
    for (const Sample& s : samples) {
        SCOPED_TRACE(s.name);
        const QString path = dir.filePath(QString::fromLatin1(s.name));
        writeAll(path, s.bytes);
        EditorView view;
        ASSERT_TRUE(view.loadFile(path));
        EXPECT_EQ(view.text(), s.text);
        EXPECT_TRUE(view.fileFormat() == s.format);
        EXPECT_FALSE(view.isDirty());
        ASSERT_TRUE(view.saveFile(path + ".saved"));
        EXPECT_EQ(readAll(path + ".saved"), s.bytes);
    }
}

TEST(FileFormat, EditsKeepTheFormatAndLatin1GivesWayToUtf8OnlyWhenItMust) {
    QTemporaryDir dir;
    const QString path = dir.filePath("notes.txt");
    writeAll(path, "caf\xe9\r\n");
    EditorView view;
    ASSERT_TRUE(view.loadFile(path));
    view.textView()->moveCursor(QTextCursor::End);
    view.textView()->insertPlainText(QStringLiteral("süß\n"));
    ASSERT_TRUE(view.saveFile(path));
    EXPECT_EQ(readAll(path), QByteArray("caf\xe9\r\ns\xfc\xdf\r\n"));

    view.textView()->insertPlainText(QStringLiteral("€\n"));
    ASSERT_TRUE(view.saveFile(path));
    EXPECT_EQ(readAll(path), QByteArray("caf\xc3\xa9\r\ns\xc3\xbc\xc3\x9f\r\n\xe2\x82\xac\r\n"));
    EXPECT_EQ(view.fileFormat().encoding, textfile::Encoding::utf8);
}

TEST(FileFormat, ALargeFileReadInTheBackgroundKeepsItsFormatToo) {
    QTemporaryDir dir;
    QByteArray bytes = "\xef\xbb\xbf";
    while (bytes.size() <= textfile::kReadAtOnceLimit) bytes += "line of text\r\n";
    const QString path = dir.filePath("big.txt");
    writeAll(path, bytes);
    EditorView view;
    bool loaded = false;
    ASSERT_TRUE(view.loadFile(path, nullptr, [&](bool ok, const QString&) { loaded = ok; }));
    ASSERT_TRUE(view.isLoading());
    ASSERT_TRUE(QTest::qWaitFor([&] { return loaded; }, 10000));
    EXPECT_FALSE(view.text().contains(u'\r'));
    ASSERT_TRUE(view.saveFile(path + ".saved"));
    EXPECT_EQ(readAll(path + ".saved"), bytes);
}

TEST(FileFormat, RefusedAndUnreadableFilesLeaveTheTextAlone) {
    QTemporaryDir dir;
    EditorView view;
    view.setContent(QStringLiteral("mine"));
    QString error;

    // A FIFO is refused without being opened: opening it would wait for a writer forever.
    const QString fifo = dir.filePath("pipe");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    EXPECT_FALSE(view.loadFile(fifo, &error));
    EXPECT_EQ(error, QStringLiteral(
                         "\"pipe\" ist keine reguläre Datei und kann nicht im Text-Editor geöffnet werden."));

    EXPECT_FALSE(view.loadFile(dir.filePath("missing"), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(view.text(), "mine");

    // A newer load replaces one under way; only the newer one reports.
    QByteArray big;
    while (big.size() <= textfile::kReadAtOnceLimit) big += "0123456789abcdef\n";
    writeAll(dir.filePath("first.txt"), big);
    writeAll(dir.filePath("second.txt"), big + "second\n");
    int firstDone = 0;
    bool secondLoaded = false;
    ASSERT_TRUE(
        view.loadFile(dir.filePath("first.txt"), nullptr, [&](bool, const QString&) { ++firstDone; }));
    ASSERT_TRUE(view.loadFile(dir.filePath("second.txt"), nullptr,
                              [&](bool ok, const QString&) { secondLoaded = ok; }));
    ASSERT_TRUE(QTest::qWaitFor([&] { return secondLoaded; }, 10000));
    EXPECT_TRUE(view.text().endsWith(QStringLiteral("second\n")));
    EXPECT_EQ(view.loadingOverlay(), nullptr);
    testsupport::drainEvents();
    EXPECT_EQ(firstDone, 0);
}
