// The nano and vim input modes: the mode bar, and vim's normal-mode keys as the window hands them
// over.
#include "EditorTestSupport.h"
#include "editor/LineGutterView.h"
#include "localisation/Loc.h"
#include "localisation/LocBinding.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QTest>
#include <gtest/gtest.h>

using namespace editortest;

namespace {

// Routes one key as the window does in vim's normal sub-mode; in the insert sub-mode only Escape
// goes to the editor and everything else is typed.
void press(EditorView& view, const QString& k) {
    if (k == QLatin1String("<esc>")) {
        const QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier, QStringLiteral("\x1b"));
        view.handleVimKey(&escape);
        return;
    }
    if (k == QLatin1String("<right>")) {
        const QKeyEvent right(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier);
        if (!view.handleVimTwoKeyOp(&right)) view.handleVimKey(&right);
        return;
    }
    if (view.isVimInsertMode()) {
        QTest::keyClicks(view.textView(), k);
        return;
    }
    const QKeyEvent event = key(k);
    if (view.vimPendingColon())
        view.handleVimColonCommand(k);
    else if (!view.handleVimTwoKeyOp(&event))
        view.handleVimKey(&event);
}

} // namespace

TEST(EditorModes, VimNormalKeys) {
    const struct {
        const char* text;
        int caret;
        std::vector<const char*> keys;
        const char* expected;
        int expectedCaret;
        VimSubMode mode;
    } cases[] = {
        {"a\nb\nc", 2, {"d", "d"}, "a\nc", 2, VimSubMode::normal},
        {"a\nb", 2, {"d", "d"}, "a\n", 2, VimSubMode::normal},
        {"", 0, {"d", "d"}, "", 0, VimSubMode::normal},
        {"a\nb\n", 0, {"y", "y", "p"}, "a\na\nb\n", 2, VimSubMode::normal},
        // p brings the last yanked line, not the last deleted one.
        {"a\nb\nc\n", 0, {"y", "y", "j", "d", "d", "p"}, "a\nc\na\n", 4, VimSubMode::normal},
        {"a\nb", 0, {"p"}, "a\nb", 0, VimSubMode::normal},
        // On a last line without a line break the pasted line goes below it, caret at its start.
        {"a\nb", 2, {"y", "y", "p"}, "a\nb\nb", 4, VimSubMode::normal},
        // o opens an empty line below and types there, also on the last line.
        {"a\nb", 0, {"o", "x"}, "a\nx\nb", 3, VimSubMode::insert},
        {"a", 0, {"o", "x"}, "a\nx", 3, VimSubMode::insert},
        {"ab\ncd", 0, {"$"}, "ab\ncd", 2, VimSubMode::normal},
        {"ab\ncd", 3, {"$"}, "ab\ncd", 5, VimSubMode::normal},
        {"a\n", 2, {"$"}, "a\n", 2, VimSubMode::normal},
        {"ab\ncd", 4, {"0"}, "ab\ncd", 3, VimSubMode::normal},
        {"ab", 0, {"h"}, "ab", 0, VimSubMode::normal},
        {"ab", 2, {"l"}, "ab", 2, VimSubMode::normal},
        {"ab", 0, {"l", "<right>"}, "ab", 2, VimSubMode::normal},
        {"ab", 0, {"a", "x"}, "axb", 2, VimSubMode::insert},
        {"ab", 1, {"i", "x", "<esc>"}, "axb", 2, VimSubMode::normal},
        // "d" then "x" cancels the pending d and types nothing; ":" then an unknown letter too.
        {"ab", 0, {"d", "x", "d"}, "ab", 0, VimSubMode::normal},
        {"ab", 0, {":", "z", "d", "d"}, "", 0, VimSubMode::normal},
    };
    for (const auto& c : cases) {
        EditorView view;
        view.setContent(QString::fromUtf8(c.text));
        view.setInputMode(EditorInputMode::vim);
        setCaret(view, c.caret);
        QString keys;
        for (const char* k : c.keys) {
            press(view, QString::fromUtf8(k));
            keys += QString::fromUtf8(k);
        }
        const std::string label = std::string(c.text) + " / " + keys.toStdString();
        EXPECT_EQ(view.text(), QString::fromUtf8(c.expected)) << label;
        EXPECT_EQ(caret(view), c.expectedCaret) << label;
        EXPECT_EQ(view.vimMode(), c.mode) << label;
    }
}

TEST(EditorModes, PendingOperatorsAndColonCommands) {
    EditorView view;
    view.setInputMode(EditorInputMode::vim);
    press(view, "d");
    press(view, "y");
    EXPECT_TRUE(view.vimPendingY());
    EXPECT_FALSE(view.vimPendingD());

    // Without an owner to save or close, the commands do nothing.
    press(view, ":");
    EXPECT_TRUE(view.vimPendingColon());
    EXPECT_FALSE(view.handleVimColonCommand("w"));
    EXPECT_FALSE(view.vimPendingColon());

    QStringList asked;
    view.onSaveRequested = [&] { asked << "save"; };
    view.onCloseRequested = [&] { asked << "close"; };
    for (const char* command : {"w", "q", "x", "e"}) {
        press(view, ":");
        press(view, command);
    }
    EXPECT_EQ(asked, (QStringList{"save", "close", "save", "close"}));
    EXPECT_FALSE(view.vimPendingColon()) << "ready for the next command";
}

TEST(EditorModes, EditsOfTheModesAreUndoable) {
    EditorView view;
    view.setContent(QStringLiteral("one\ntwo\n"));
    view.setInputMode(EditorInputMode::vim);
    press(view, "d");
    press(view, "d");
    EXPECT_EQ(view.text(), "two\n");
    EXPECT_TRUE(view.isDirty());
    view.textView()->undo();
    EXPECT_EQ(view.text(), "one\ntwo\n");

    // nano's ^K puts the line with its break on the clipboard.
    view.setInputMode(EditorInputMode::nano);
    setCaret(view, 5);
    view.cutCurrentLine();
    EXPECT_EQ(view.text(), "one\n");
    EXPECT_EQ(QApplication::clipboard()->text(), "two\n");
}

TEST(EditorModes, TheModeBarNamesTheModeAndTakesItsRoom) {
    EditorView view;
    view.resize(600, 400);
    view.show();
    EXPECT_TRUE(view.modeBar()->isHidden());
    EXPECT_EQ(view.textView()->geometry(), QRect(44, 0, 556, 400));

    view.setInputMode(EditorInputMode::nano);
    EXPECT_FALSE(view.modeBar()->isHidden());
    EXPECT_EQ(view.modeBarLabel()->text(), qs(Loc::nanoModeBar()));
    EXPECT_EQ(view.textView()->geometry(), QRect(44, 26, 556, 374));
    EXPECT_EQ(view.lineGutter()->geometry(), QRect(0, 26, 44, 374));

    view.setInputMode(EditorInputMode::vim);
    EXPECT_EQ(view.modeBarLabel()->text(), QStringLiteral("── NORMAL ──"));
    press(view, "i");
    EXPECT_EQ(view.modeBarLabel()->text(), QStringLiteral("── INSERT ──"));
    EXPECT_EQ(view.modeBarLabel()->palette().color(QPalette::WindowText), QColor::fromRgbF(0.4f, 0.9f, 0.5f));

    // Leaving vim keeps its sub-mode; coming back starts in normal.
    view.setInputMode(EditorInputMode::normal);
    EXPECT_TRUE(view.modeBar()->isHidden());
    EXPECT_EQ(view.vimMode(), VimSubMode::insert);
    view.setInputMode(EditorInputMode::vim);
    EXPECT_EQ(view.vimMode(), VimSubMode::normal);
}
