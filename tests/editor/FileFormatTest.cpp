// Files keep their spelling: encoding, byte-order mark and line endings come back as they were
// read, and a load that does not finish leaves the text it found.
#include "EditorTestSupport.h"
#include "editor/EditorView.h"
#include "editor/TextFileCheck.h"
#include "support/Waits.h"

#include <QFile>
#include <QTextCursor>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <functional>
#include <sys/stat.h>

using namespace editortest;

namespace {

struct Sample {
    const char* name;
    QByteArray bytes;
    textfile::Encoding encoding;
    textfile::LineEnding lineEnding; // the first one
    QString text;                    // as the editor holds it
};

} // namespace

TEST(FileFormat, OpenAndSaveUnchangedIsByteIdentical) {
    using textfile::Encoding;
    using textfile::LineEnding;
    const std::vector<Sample> samples = {
        {"lf", "a\nb\n", Encoding::utf8, LineEnding::lf, "a\nb\n"},
        {"crlf", "a\r\nb\r\n", Encoding::utf8, LineEnding::crlf, "a\nb\n"},
        {"cr", "a\rb\r", Encoding::utf8, LineEnding::cr, "a\nb\n"},
        {"no final break", "a\r\nb", Encoding::utf8, LineEnding::crlf, "a\nb"},
        {"latin1", "gr\xfc\xdf\r\n", Encoding::latin1, LineEnding::crlf, QStringLiteral("grüß\n")},
        {"bom", "\xef\xbb\xbfx = 1\n", Encoding::utf8Bom, LineEnding::lf, "x = 1\n"},
        {"nbsp",
         "a\xc2\xa0"
         "b\n",
         Encoding::utf8, LineEnding::lf,
         QStringLiteral("a\u00a0b\n")},
        {"line separator",
         "a\xe2\x80\xa8"
         "b\n",
         Encoding::utf8, LineEnding::lf,
         QStringLiteral("a\u2028b\n")},
        {"empty", "", Encoding::utf8, LineEnding::lf, ""},
        // Mixed line breaks are not all made the first one.
        {"mixed", "a\r\nb\nc\rd\r\n", Encoding::utf8, LineEnding::crlf, "a\nb\nc\nd\n"},
        {"mixed latin1", "\xe9\n\xe9\r\n\xe9", Encoding::latin1, LineEnding::lf, QStringLiteral("é\né\né")},
    };
    QTemporaryDir dir;
    for (const Sample& s : samples) {
        SCOPED_TRACE(s.name);
        const QString path = dir.filePath(QString::fromLatin1(s.name));
        writeAll(path, s.bytes);
        EditorView view;
        ASSERT_TRUE(view.loadFile(path));
        EXPECT_EQ(view.text(), s.text);
        EXPECT_EQ(view.fileFormat().encoding, s.encoding);
        EXPECT_EQ(view.fileFormat().lineEnding, s.lineEnding);
        EXPECT_FALSE(view.isDirty());
        ASSERT_TRUE(view.saveFile(path + ".saved"));
        EXPECT_EQ(readAll(path + ".saved"), s.bytes);
    }
}

TEST(FileFormat, EditsKeepLatin1AndItIsNeverLeftBehindTheUsersBack) {
    QTemporaryDir dir;
    const QString path = dir.filePath("notes.txt");
    writeAll(path, "caf\xe9\r\n");
    EditorView view;
    ASSERT_TRUE(view.loadFile(path));
    view.textView()->moveCursor(QTextCursor::End);
    view.textView()->insertPlainText(QStringLiteral("süß\n"));
    ASSERT_TRUE(view.saveFile(path));
    EXPECT_EQ(readAll(path), QByteArray("caf\xe9\r\ns\xfc\xdf\r\n"));

    // A character Latin-1 cannot hold is not written without asking (see the save questions).
    view.textView()->insertPlainText(QStringLiteral("€\n"));
    QString error;
    EXPECT_FALSE(view.saveFile(path, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(readAll(path), QByteArray("caf\xe9\r\ns\xfc\xdf\r\n"));
    EXPECT_TRUE(view.isDirty());
    EXPECT_EQ(view.fileFormat().encoding, textfile::Encoding::latin1);
}

// A file whose lines end differently keeps each line's own break: untouched lines exactly, changed
// lines the break of the line they were, new lines the one of the line above them.
TEST(FileFormat, MixedLineBreaksStayEachLinesOwn) {
    const QByteArray original = "one\r\ntwo\nthree\r\nfour\rfive";
    const struct {
        const char* name;
        std::function<void(QTextCursor&)> edit;
        QByteArray expected;
    } cases[] = {
        {"unchanged", [](QTextCursor&) {}, original},
        {"typed into a line",
         [](QTextCursor& c) {
             c.setPosition(7); // end of "two"
             c.insertText("!");
         },
         "one\r\ntwo!\nthree\r\nfour\rfive"},
        {"a new line below one",
         [](QTextCursor& c) {
             c.setPosition(3);
             c.insertText("\nnew");
         },
         "one\r\nnew\r\ntwo\nthree\r\nfour\rfive"},
        {"a line deleted",
         [](QTextCursor& c) {
             c.setPosition(4);
             c.setPosition(8, QTextCursor::KeepAnchor);
             c.removeSelectedText();
         },
         "one\r\nthree\r\nfour\rfive"},
        {"every line changed",
         [](QTextCursor& c) {
             c.select(QTextCursor::Document);
             c.insertText("ONE\nTWO\nTHREE\nFOUR\nFIVE");
         },
         "ONE\r\nTWO\nTHREE\r\nFOUR\rFIVE"},
        {"lines added after the last",
         [](QTextCursor& c) {
             c.movePosition(QTextCursor::End);
             c.insertText("\nsix");
         },
         "one\r\ntwo\nthree\r\nfour\rfive\rsix"},
        {"two edits far apart",
         [](QTextCursor& c) {
             c.setPosition(0);
             c.insertText("zero\n");
             c.movePosition(QTextCursor::End);
             c.movePosition(QTextCursor::StartOfLine);
             c.insertText("4.5\n");
         },
         "zero\r\none\r\ntwo\nthree\r\nfour\r4.5\rfive"},
    };
    QTemporaryDir dir;
    const QString path = dir.filePath("mixed.txt");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        writeAll(path, original);
        EditorView view;
        ASSERT_TRUE(view.loadFile(path));
        QTextCursor cursor(view.textView()->document());
        c.edit(cursor);
        ASSERT_TRUE(view.saveFile(path));
        EXPECT_EQ(readAll(path), c.expected);
        // Saved again, the file stays as it is.
        ASSERT_TRUE(view.saveFile(path));
        EXPECT_EQ(readAll(path), c.expected);
    }
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
