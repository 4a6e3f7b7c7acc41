// History suggestions: reading the zsh and bash history files, the prefix index, and the keys that
// show, accept and cycle suggestions in a real pane.
#include "ViewTestSupport.h"
#include "terminalview/HistoryIndex.h"
#include "terminalview/SharedHistory.h"
#include "terminalview/ShellHistory.h"

#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QTest>

namespace {

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

void key(TerminalView& view, int k, const QString& text = {}, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QKeyEvent event(QEvent::KeyPress, k, mods, text);
    QApplication::sendEvent(&view, &event);
}

void type(TerminalView& view, const QString& text) {
    for (const QChar c : text) {
        const int k = c.isLetter() ? Qt::Key_A + (c.toLower().unicode() - 'a') : c.unicode();
        key(view, k, QString(c));
    }
}

} // namespace

TEST(ShellHistoryTest, ZshAndBashLinesAreReadInTheirFormats) {
    const QByteArray zsh = ": 1700000000:0;ls -la\n"
                           "   make   \n"
                           "\tcontinued part of a multi-line command\n"
                           ": 1700000001:3;  git status  \n"
                           ": no semicolon here\n"
                           "\n"
                           ": 1700000002:0;\n";
    EXPECT_EQ(shellhistory::parseZshHistory(zsh),
              QStringList({"ls -la", "make", "git status", ": no semicolon here"}));
    const QByteArray bash = "#1700000000\necho one\n  \n#1700000001\n echo two \n";
    EXPECT_EQ(shellhistory::parseBashHistory(bash), QStringList({"echo one", "echo two"}));

    // zsh's metafied bytes: "é" (C3 A9) is written as C3 83 89.
    EXPECT_EQ(shellhistory::parseZshHistory(QByteArray(": 1:0;echo caf\xc3\x83\x89\n")),
              QStringList({"echo café"}));
    // A file that is not UTF-8 is read as Latin-1.
    EXPECT_EQ(shellhistory::parseBashHistory(QByteArray("echo caf\xe9\n")), QStringList({"echo café"}));

    // Newest first, each line once: bash's last line is the newest.
    EXPECT_EQ(shellhistory::newestFirstDistinct({"a", "b", "c"}, {"d", "a", "e"}, 100),
              QStringList({"e", "a", "d", "c", "b"}));
    EXPECT_EQ(shellhistory::newestFirstDistinct({"a", "b", "c"}, {"d"}, 2), QStringList({"d", "c"}));
}

TEST(ShellHistoryTest, AHugeHistoryKeepsItsNewestLinesAndLookupsStayExact) {
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    // 60,000 distinct commands, more than the index keeps; the newest at the end of the file.
    QByteArray zsh;
    for (int i = 0; i < 60000; ++i) zsh += ": 1700000000:0;cmd " + QByteArray::number(i) + " --flag\n";
    writeFile(home.filePath(".zsh_history"), zsh);
    const QStringList lines = shellhistory::loadShellHistory(home.path(), HistoryIndex::kMaxEntries);
    ASSERT_EQ(std::size_t(lines.size()), HistoryIndex::kMaxEntries);
    EXPECT_EQ(lines.first(), "cmd 59999 --flag");
    EXPECT_EQ(lines.last(), "cmd 10000 --flag");

    const HistoryIndex index(lines);
    EXPECT_EQ(index.bestMatch("cmd "), "cmd 59999 --flag");
    EXPECT_EQ(index.bestMatch("cmd 1"), "cmd 19999 --flag");
    EXPECT_EQ(index.bestMatch("cmd 12345"), "cmd 12345 --flag");
    EXPECT_EQ(index.bestMatch("cmd 5"), "cmd 59999 --flag");
    EXPECT_FALSE(index.bestMatch("cmd 9999 ").has_value()) << "dropped with the oldest lines";
    EXPECT_FALSE(index.bestMatch("").has_value());
    EXPECT_EQ(index.matches("cmd 1234"),
              QStringList({"cmd 12349 --flag", "cmd 12348 --flag", "cmd 12347 --flag", "cmd 12346 --flag",
                           "cmd 12345 --flag", "cmd 12344 --flag", "cmd 12343 --flag", "cmd 12342 --flag",
                           "cmd 12341 --flag", "cmd 12340 --flag"}))
        << "cmd 1234 itself is older than the lines kept";
}

TEST(ShellHistoryTest, ALineEqualToThePrefixIsNeverAMatch) {
    const HistoryIndex index(QStringList({"git stash", "git st", "git status", "gitk"}));
    EXPECT_EQ(index.bestMatch("git st"), "git stash");
    EXPECT_EQ(index.matches("git st"), QStringList({"git stash", "git status"}));
    EXPECT_EQ(index.matches("git"), QStringList({"git stash", "git st", "git status"}) << "gitk");
    EXPECT_FALSE(index.bestMatch("git status").has_value());
    EXPECT_FALSE(index.bestMatch("zzz").has_value());
    EXPECT_FALSE(HistoryIndex().bestMatch("a").has_value());
}

TEST_F(ViewTest, SuggestionsFromTheHistoryFilesAreShownAcceptedAndCycled) {
    writeFile(home.filePath(".zsh_history"), ": 1:0;git status\n: 2:0;git stash\n: 3:0;ls -la\n");
    writeFile(home.filePath(".bash_history"), "#1700000000\ngit stage all\n");
    auto view = makeDumpView();
    showFocused(*view);
    InputDump dump(dumpPath);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !view->historyEntries().isEmpty(); }, 10000));
    EXPECT_EQ(view->historyEntries(), QStringList({"git stage all", "ls -la", "git stash", "git status"}));

    type(*view, "git st");
    EXPECT_EQ(view->typedBuffer(), "git st");
    EXPECT_EQ(view->bestHistorySuggestion(), "git stage all");
    // The frame shows the rest as ghost text, and Right takes it.
    ASSERT_TRUE(QTest::qWaitFor([&] { return view->currentSuggestion() == QString("git stage all"); }, 5000));
    key(*view, Qt::Key_Right);
    EXPECT_EQ(visible(dump.take(13)), "git stage all");
    EXPECT_EQ(view->typedBuffer(), "git stage all");
    EXPECT_FALSE(view->bestHistorySuggestion().has_value());
    key(*view, Qt::Key_Right);
    EXPECT_EQ(visible(dump.take(3)), visible("\x1b[C")) << "nothing left to accept";

    // Return clears the line.
    key(*view, Qt::Key_Return, "\r");
    EXPECT_EQ(visible(dump.take(1)), "\\x0D");
    EXPECT_EQ(view->typedBuffer(), "");
    // A key typed right after a frame showed a suggestion makes it stale: Tab must not complete
    // "lsx" with the rest of "ls -la".
    type(*view, "ls");
    ASSERT_TRUE(QTest::qWaitFor([&] { return view->currentSuggestion() == QString("ls -la"); }, 5000));
    type(*view, "x");
    key(*view, Qt::Key_Tab, "\t");
    EXPECT_EQ(visible(dump.take(4)), "lsx\\x09");
    for (int i = 0; i < 3; ++i) key(*view, Qt::Key_Backspace, "\x7f");
    EXPECT_EQ(visible(dump.take(3)), "\\x7F\\x7F\\x7F");
    EXPECT_EQ(view->typedBuffer(), "");

    // Up cycles through the lines that start with the typed text, newest first, and stops at the
    // oldest; Down comes back and past the newest clears the line.
    type(*view, "git sta");
    EXPECT_EQ(visible(dump.take(7)), "git sta");
    key(*view, Qt::Key_Up);
    EXPECT_EQ(visible(dump.take(14)), "\\x15git stage all");
    key(*view, Qt::Key_Up);
    EXPECT_EQ(visible(dump.take(10)), "\\x15git stash");
    key(*view, Qt::Key_Up);
    EXPECT_EQ(visible(dump.take(11)), "\\x15git status");
    key(*view, Qt::Key_Up);
    EXPECT_EQ(visible(dump.take(11)), "\\x15git status");
    EXPECT_EQ(view->historyCycleIndex(), 2);
    key(*view, Qt::Key_Down);
    EXPECT_EQ(visible(dump.take(10)), "\\x15git stash");
    key(*view, Qt::Key_Down);
    key(*view, Qt::Key_Down);
    EXPECT_EQ(visible(dump.take(15)), "\\x15git stage all\\x15");
    EXPECT_EQ(view->typedBuffer(), "");
    EXPECT_EQ(view->historyCycleIndex(), -1);
    key(*view, Qt::Key_Down);
    key(*view, Qt::Key_Up);
    EXPECT_EQ(visible(dump.take(6)), visible("\x1b[B\x1b[A")) << "no cycle and an empty line: the keys go on";
    EXPECT_EQ(visible(dump.rest(*view)), "");
}

TEST_F(ViewTest, FullScreenProgramsAndMouseReportingGetNoSuggestions) {
    writeFile(home.filePath(".bash_history"), "vim notes.txt\n");
    auto view = makeDumpView();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !view->historyEntries().isEmpty(); }, 10000));
    InputDump dump(dumpPath);
    feed(*view, "\x1b[?1049h");
    type(*view, "vi");
    EXPECT_EQ(view->typedBuffer(), "");
    feed(*view, "\x1b[?1049l\x1b[?1000h");
    type(*view, "vi");
    EXPECT_EQ(view->typedBuffer(), "");
    key(*view, Qt::Key_Up);
    feed(*view, "\x1b[?1000l");
    type(*view, "vi");
    EXPECT_EQ(view->typedBuffer(), "vi");
    EXPECT_EQ(view->bestHistorySuggestion(), "vim notes.txt");
    EXPECT_EQ(visible(dump.take(9)), visible("vivi\x1b[Avi"));
}

TEST_F(ViewTest, TheGhostTextIsDrawnAfterTheCursorInTheGhostColour) {
    writeFile(home.filePath(".bash_history"), "echo WWWWWWWW\n");
    auto view = makeDumpView();
    showFocused(*view);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !view->historyEntries().isEmpty(); }, 10000));
    feed(*view, "\x1b[2J\x1b[H$ ");
    type(*view, "echo ");
    ASSERT_EQ(view->bestHistorySuggestion(), "echo WWWWWWWW");
    const QImage withGhost = grabImage(*view);
    EXPECT_EQ(view->currentSuggestion(), "echo WWWWWWWW");
    view->clearHistoryState();
    const QImage without = grabImage(*view);
    EXPECT_FALSE(view->currentSuggestion().has_value());
    // Nothing echoed, so the engine's cursor is still at column 2, where the ghost begins.
    int changed = 0;
    const QRect ghostCells = cellRect(*view, 0, 2).united(cellRect(*view, 0, 9));
    for (int y = ghostCells.top(); y <= ghostCells.bottom(); ++y)
        for (int x = ghostCells.left(); x <= ghostCells.right(); ++x)
            if (withGhost.pixel(x, y) != without.pixel(x, y)) ++changed;
    EXPECT_GT(changed, 40);
    const QRect beyond = cellRect(*view, 0, 11).united(cellRect(*view, 0, 20));
    for (int y = beyond.top(); y <= beyond.bottom(); ++y)
        for (int x = beyond.left(); x <= beyond.right(); ++x)
            ASSERT_EQ(withGhost.pixel(x, y), without.pixel(x, y)) << "the ghost ends with the suggestion";
    type(*view, "echo ");
    // Scrolled back there is no ghost.
    for (int i = 0; i < 40; ++i) feed(*view, "x\r\n");
    view->setSmoothScrollY(view->cellH() * 10);
    grabImage(*view);
    EXPECT_FALSE(view->currentSuggestion().has_value());
}

TEST_F(ViewTest, PanesShareOneHistoryIndexUntilAFileChanges) {
    writeFile(home.filePath(".bash_history"), "make test\nmake all\n");
    SharedHistory& shared = SharedHistory::instance();
    const int loadsBefore = shared.loadCount();
    auto first = makeDumpView();
    auto second = makeDumpView();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return !first->historyEntries().isEmpty() && !second->historyEntries().isEmpty(); }, 10000));
    EXPECT_EQ(&first->historyEntries(), &second->historyEntries()) << "each pane holds its own copy";
    EXPECT_EQ(shared.loadCount() - loadsBefore, 1);

    // A changed file (here: longer) is read again for the next pane; the others keep what they have.
    writeFile(home.filePath(".bash_history"), "make test\nmake all\nmake clean\n");
    auto third = makeDumpView();
    ASSERT_TRUE(QTest::qWaitFor([&] { return third->historyEntries().size() == 3; }, 10000));
    EXPECT_EQ(shared.loadCount() - loadsBefore, 2);
    EXPECT_EQ(first->historyEntries().size(), 2);
}
