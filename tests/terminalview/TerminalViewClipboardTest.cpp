// Text into and out of a pane: pastes (bracketed or not), dropped files and strings, copying, select
// all, clearing the history, and clipboard writes of programs.
#include "ViewTestSupport.h"
#include "terminalview/PasteEncoding.h"

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

TEST(PasteEncodingTest, EveryEndMarkerIsTakenOutOfPastedText) {
    EXPECT_EQ(pasting::withoutPasteEnd("plain"), "plain");
    EXPECT_EQ(pasting::withoutPasteEnd("a\x1b[201~b\x1b[201~"), "ab");
    // Taking one out must not leave another behind.
    EXPECT_EQ(pasting::withoutPasteEnd("x\x1b[20\x1b[201~1~y"), "xy");
    EXPECT_EQ(pasting::withoutPasteEnd("\x1b[200~ keeps the start\x1b[201"),
              "\x1b[200~ keeps the start\x1b[201");
}

TEST_F(ViewTest, PastesAreBracketedWhenTheShellAsksAndCannotEndTheBracketEarly) {
    auto view = makeDumpView();
    InputDump dump(dumpPath);
    const QString text = "echo one\recho \x1b[1mtwo\r\n";
    view->pasteText(text);
    EXPECT_EQ(visible(dump.take(text.toUtf8().size())), visible(text.toUtf8())) << "passed unchanged";

    feed(*view, "\x1b[?2004h");
    const qint64 writesBefore = view->perf.writeCount;
    view->pasteText("ls\r");
    EXPECT_EQ(view->perf.writeCount - writesBefore, 3) << "start marker, text, end marker";
    EXPECT_EQ(visible(dump.take(15)), visible("\x1b[200~ls\r\x1b[201~"));

    // Pasted text that closes the bracket itself would run the rest as typed commands.
    view->pasteText("harmless\x1b[201~rm -rf ~\r");
    const QByteArray expected("\x1b[200~harmlessrm -rf ~\r\x1b[201~");
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
