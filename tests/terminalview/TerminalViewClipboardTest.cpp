// Text into and out of a pane: pastes (bracketed or not), dropped files and strings, copying, select
// all, clearing the history, and clipboard writes of programs.
#include "ViewTestSupport.h"
#include "terminalview/PasteEncoding.h"
#include "terminalview/PasteFilter.h"

#include <QApplication>
#include <QClipboard>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QTest>
#include <QUrl>

namespace {

// Drops the data on the view after a drag entered; returns whether the drop was taken.
bool drop(TerminalView& view, const QMimeData* mime) {
    const QPoint at(50, 50);
    QDragEnterEvent enter(at, Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&view, &enter);
    if (!enter.isAccepted()) return false;
    EXPECT_TRUE(view.isDragSessionActive());
    QDropEvent dropEvent(QPointF(at), Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&view, &dropEvent);
    EXPECT_FALSE(view.isDragSessionActive());
    return dropEvent.isAccepted();
}

std::unique_ptr<QMimeData> filesMime(const QStringList& paths) {
    auto mime = std::make_unique<QMimeData>();
    QList<QUrl> urls;
    for (const QString& path : paths) urls.append(QUrl::fromLocalFile(path));
    mime->setUrls(urls);
    return mime;
}

} // namespace

TEST(PasteEncodingTest, DroppedPathsAreQuotedForTheShellOnlyWhenTheyNeedIt) {
    struct Case {
        QString path;
        QString word;
    };
    const std::vector<Case> cases = {
        {"/tmp/plain_file-1.2+x:y@z", "/tmp/plain_file-1.2+x:y@z"},
        {"/tmp/with space.txt", "'/tmp/with space.txt'"},
        {"/tmp/it's.txt", "'/tmp/it'\\''s.txt'"},
        {"/tmp/ÄÖü/日本語/Ελληνικά٣", "/tmp/ÄÖü/日本語/Ελληνικά٣"},
        {"/tmp/$HOME", "'/tmp/$HOME'"},
        {"/tmp/a;rm -rf ~", "'/tmp/a;rm -rf ~'"},
        {"/tmp/line\nbreak", "'/tmp/line\nbreak'"},
        {"/tmp/e\u0301", "'/tmp/e\u0301'"}, // a combining mark is not a letter
        {"/tmp/😀", "'/tmp/😀'"},
    };
    for (const Case& c : cases) EXPECT_EQ(pasting::shellWordForPath(c.path), c.word) << c.path.toStdString();
    EXPECT_EQ(pasting::shellWordsForPaths({"/a b", "/c"}), "'/a b' /c");
}

TEST(PasteFilterTest, KeepsTabLineFeedAndCarriageReturnAndDropsEveryOtherControl) {
    struct Case {
        std::u16string in, out;
    };
    const std::vector<Case> cases = {
        {u"plain text", u"plain text"},
        {u"a\tb\nc\rd\r\n", u"a\tb\nc\rd\r\n"},
        {u"#\x15touch F\r", u"#touch F\r"},
        {u"harmless\x1b[201~rm -rf ~\r", u"harmless[201~rm -rf ~\r"},
        {u"x\x1b[20\x1b[201~1~y", u"x[20[201~1~y"},
        {u"\x1b]0;title\x07\x1b[2J\x1b[31m", u"]0;title[2J[31m"},
        {u"\u009b201~\u009d0;t\u009c\u0085\u0080\u009f", u"201~0;t"},
        {u"\x7f\x08\x03\x04\x1a\x00\x01\x1f", u""},
        {u"\u00a0\u00ff caf\u00e9 \u202e \U0001F600 \uFFFD", u"\u00a0\u00ff caf\u00e9 \u202e \U0001F600 \uFFFD"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(pasting::withoutControls(c.in), c.out)
            << QString::fromStdU16String(c.in).toUtf8().toHex().toStdString();
    }
    for (char16_t c = 0; c < 0x100; ++c) {
        const bool control = c < 0x20 || (c >= 0x7F && c <= 0x9F);
        EXPECT_EQ(pasting::keptInPaste(c), !control || c == u'\t' || c == u'\n' || c == u'\r') << int(c);
    }
}

TEST_F(ViewTest, PastesAreBracketedWhenTheShellAsksAndCannotEndTheBracketEarly) {
    auto view = makeDumpView();
    InputDump dump(dumpPath);
    view->pasteText("echo one\recho \x1b[1mtwo\r\n\tthree\x7f");
    const QByteArray kept("echo one\recho [1mtwo\r\n\tthree");
    EXPECT_EQ(visible(dump.take(kept.size())), visible(kept)) << "line ends and tabs as they are, no controls";

    feed(*view, "\x1b[?2004h");
    const qint64 writesBefore = view->perf.writeCount;
    view->pasteText("ls\r");
    EXPECT_EQ(view->perf.writeCount - writesBefore, 3) << "start marker, text, end marker";
    EXPECT_EQ(visible(dump.take(15)), visible("\x1b[200~ls\r\x1b[201~"));

    // Pasted text that closes the bracket itself would run the rest as typed commands.
    view->pasteText("harmless\x1b[201~rm -rf ~\r");
    const QByteArray expected("\x1b[200~harmless[201~rm -rf ~\r\x1b[201~");
    EXPECT_EQ(visible(dump.take(expected.size())), visible(expected));

    // The clipboard's text through the paste command; an empty clipboard sends nothing.
    QGuiApplication::clipboard()->setText("from clipboard");
    view->paste();
    EXPECT_EQ(visible(dump.take(26)), visible("\x1b[200~from clipboard\x1b[201~"));
    QGuiApplication::clipboard()->clear();
    view->paste();
    EXPECT_EQ(visible(dump.rest(*view)), "");
}

TEST_F(ViewTest, DroppedFilesAreTypedAsShellWordsAndDroppedTextAsItIs) {
    auto view = makeDumpView();
    InputDump dump(dumpPath);
    ASSERT_TRUE(drop(*view, filesMime({"/tmp/my file.txt", "/tmp/other"}).get()));
    EXPECT_EQ(visible(dump.take(29)), visible("'/tmp/my file.txt' /tmp/other"));

    feed(*view, "\x1b[?2004h");
    ASSERT_TRUE(drop(*view, filesMime({"/tmp/it's"}).get()));
    const QByteArray quoted("\x1b[200~'/tmp/it'\\''s'\x1b[201~");
    EXPECT_EQ(visible(dump.take(quoted.size())), visible(quoted)) << "a drop arrives bracketed too";

    QMimeData text;
    text.setText("dropped words");
    ASSERT_TRUE(drop(*view, &text));
    EXPECT_EQ(visible(dump.take(25)), visible("\x1b[200~dropped words\x1b[201~"));

    // An empty string is not taken; data that is neither files nor text is refused on entry.
    QMimeData empty;
    empty.setText("");
    EXPECT_FALSE(drop(*view, &empty));
    QMimeData other;
    other.setData("application/octet-stream", "bytes");
    EXPECT_FALSE(drop(*view, &other));
    EXPECT_FALSE(view->isDragSessionActive());
    EXPECT_EQ(visible(dump.rest(*view)), "");
}

TEST_F(ViewTest, EveryPastePathDropsControlCharacters) {
    auto view = makeDumpView();
    InputDump dump(dumpPath);
    const QString hostile = QString::fromUtf8("a\x1b[31m\x15" "b\u009bc\x03\r");
    const QByteArray kept("a[31mbc\r");
    for (const bool bracketed : {false, true}) {
        feed(*view, bracketed ? "\x1b[?2004h" : "\x1b[?2004l");
        const QByteArray start = bracketed ? QByteArray(pasting::kPasteStart) : QByteArray();
        const QByteArray end = bracketed ? QByteArray(pasting::kPasteEnd) : QByteArray();

        QGuiApplication::clipboard()->setText(hostile);
        view->paste(); // Ctrl+Shift+V and the menus
        EXPECT_EQ(visible(dump.take(start.size() + kept.size() + end.size())), visible(start + kept + end));

        QMimeData text;
        text.setText(hostile);
        ASSERT_TRUE(drop(*view, &text));
        EXPECT_EQ(visible(dump.take(start.size() + kept.size() + end.size())), visible(start + kept + end));

        // A file name may hold controls too; its quotes keep the shell from reading it, not the
        // line editor.
        ASSERT_TRUE(drop(*view, filesMime({"/tmp/x\x1b[201~\x15y"}).get()));
        const QByteArray path("'/tmp/x[201~y'");
        EXPECT_EQ(visible(dump.take(start.size() + path.size() + end.size())), visible(start + path + end));

        // What the picker and dictation type, and a paste of nothing but controls.
        view->pasteText(hostile);
        EXPECT_EQ(visible(dump.take(start.size() + kept.size() + end.size())), visible(start + kept + end));
        view->pasteText("\x1b\x03");
        EXPECT_EQ(visible(dump.rest(*view)), "") << "nothing is left to paste";
    }
}

TEST_F(ViewTest, SelectAllCopyAndClearScrollback) {
    auto view = makeDumpView();
    InputDump dump(dumpPath);
    feed(*view, "\x1b[2J\x1b[H");
    for (int i = 0; i < 200; ++i) feed(*view, QByteArray("line ") + QByteArray::number(i) + "\r\n");
    const auto sb = std::int64_t(view->terminal().scrollback().size());
    ASSERT_GT(sb, 150);
    view->selectAll();
    EXPECT_EQ(view->selStart(), (GridPos{0, 0}));
    EXPECT_EQ(view->selEnd(), (GridPos{sb + view->terminal().rows() - 1, view->terminal().cols() - 1}));
    view->copyText();
    const QString copied = QGuiApplication::clipboard()->text();
    EXPECT_TRUE(copied.startsWith("line 0\nline 1\n")) << copied.left(40).toStdString();
    EXPECT_TRUE(copied.endsWith("line 198\nline 199")) << "blank rows at the end are dropped";
    EXPECT_EQ(copied.count('\n'), 199);

    // Copy without a selection leaves the clipboard alone.
    view->clearSelection();
    view->copyText();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), copied);

    view->setSmoothScrollY(view->cellH() * 20);
    view->selectAll();
    view->clearScrollback();
    EXPECT_EQ(view->terminal().scrollback().size(), 0u);
    EXPECT_EQ(screenText(view->terminal()).trimmed(), "");
    EXPECT_EQ(view->terminal().cursorX(), 0);
    EXPECT_EQ(view->terminal().cursorY(), 0);
    EXPECT_EQ(view->smoothScrollY(), 0);
    EXPECT_FALSE(view->selStart().has_value());
    EXPECT_EQ(visible(dump.take(1)), visible("\x0c")) << "the shell is asked to redraw its prompt";
}

TEST_F(ViewTest, ProgramsWriteTheClipboardThroughOsc52) {
    auto view = makeQuietView();
    QGuiApplication::clipboard()->clear();
    feed(*view, "\x1b]52;c;aGVsbG8gY2xpcGJvYXJk\x07"); // "hello clipboard"
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "hello clipboard");
}
