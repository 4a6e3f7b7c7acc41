// The nano and vim input modes: vim's keys as a table of key strings and what they leave, nano's
// cut, and the editor view that shows the modes and carries out what they ask for.
#include "EditorTestSupport.h"
#include "ModeTestDocument.h"
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

// Runs `keys` through vim as the window routes them: in the insert sub-mode only Escape reaches
// the mode, every other key is typed.
void run(VimMode& vim, ModeTestDocument& document, const QString& keys) {
    for (const ModeKey& key : modeKeys(keys)) {
        if (vim.subMode() == VimSubMode::insert && key.key != Qt::Key_Escape)
            document.type(key.text);
        else
            document.apply(vim.handleKey(key, document));
    }
}

// Presses `keys` on the view as the window routes them.
void press(EditorView& view, const QString& keys) {
    for (const ModeKey& key : modeKeys(keys)) {
        if (view.inputMode() == EditorInputMode::vim && view.isVimInsertMode() && key.key != Qt::Key_Escape) {
            QTest::keyClicks(view.textView(), key.text);
            continue;
        }
        const QKeyEvent event(QEvent::KeyPress, key.key, key.modifiers, key.text);
        view.handleModeKey(&event);
    }
}

} // namespace

TEST(VimMode, KeysAndWhatTheyLeave) {
    const struct {
        const char* text;
        int caret;
        const char* keys;
        const char* expected;
        int expectedCaret;
        VimSubMode mode;
        const char* commands = "";
    } cases[] = {
        {"a\nb\nc", 2, "dd", "a\nc", 2, VimSubMode::normal},
        {"a\nb", 2, "dd", "a\n", 2, VimSubMode::normal},
        {"", 0, "dd", "", 0, VimSubMode::normal},
        {"a\nb\n", 0, "yyp", "a\na\nb\n", 2, VimSubMode::normal},
        // p brings the last yanked line, not the last deleted one.
        {"a\nb\nc\n", 0, "yyjddp", "a\nc\na\n", 4, VimSubMode::normal},
        {"a\nb", 0, "p", "a\nb", 0, VimSubMode::normal},
        // On a last line without a line break the pasted line goes below it, caret at its start.
        {"a\nb", 2, "yyp", "a\nb\nb", 4, VimSubMode::normal},
        // o opens an empty line below and types there, also on the last line.
        {"a\nb", 0, "ox", "a\nx\nb", 3, VimSubMode::insert},
        {"a", 0, "ox", "a\nx", 3, VimSubMode::insert},
        {"ab\ncd", 0, "$", "ab\ncd", 2, VimSubMode::normal},
        {"ab\ncd", 3, "$", "ab\ncd", 5, VimSubMode::normal},
        {"a\n", 2, "$", "a\n", 2, VimSubMode::normal},
        {"ab\ncd", 4, "0", "ab\ncd", 3, VimSubMode::normal},
        {"ab", 0, "h", "ab", 0, VimSubMode::normal},
        {"ab", 2, "l", "ab", 2, VimSubMode::normal},
        {"ab", 0, "l<right>", "ab", 2, VimSubMode::normal},
        {"ab\ncd", 1, "jk", "ab\ncd", 1, VimSubMode::normal},
        {"ab", 0, "ax", "axb", 2, VimSubMode::insert},
        {"ab", 1, "ix<esc>", "axb", 2, VimSubMode::normal},
        // "d" then "x" cancels the pending d and types nothing; ":" then an unknown letter too.
        {"ab", 0, "dxd", "ab", 0, VimSubMode::normal},
        {"ab", 0, ":zdd", "", 0, VimSubMode::normal},
        {"ab", 0, ":w:q:x:e", "ab", 0, VimSubMode::normal, "save close save+close"},
    };
    for (const auto& c : cases) {
        VimMode vim;
        ModeTestDocument document(QString::fromUtf8(c.text), c.caret);
        run(vim, document, QString::fromUtf8(c.keys));
        const std::string label = std::string(c.text) + " / " + c.keys;
        EXPECT_EQ(document.text(), QString::fromUtf8(c.expected)) << label;
        EXPECT_EQ(document.caret(), c.expectedCaret) << label;
        EXPECT_EQ(vim.subMode(), c.mode) << label;
        EXPECT_EQ(document.commands.join(u' '), QString::fromUtf8(c.commands)) << label;
    }
}

TEST(VimMode, PendingHalvesAndTheColon) {
    VimMode vim;
    ModeTestDocument document(QStringLiteral("ab"), 0);
    run(vim, document, "dy");
    EXPECT_TRUE(vim.pendingY());
    EXPECT_FALSE(vim.pendingD());
    run(vim, document, ":");
    EXPECT_TRUE(vim.pendingColon());
    run(vim, document, "z");
    EXPECT_FALSE(vim.pendingColon()) << "ready for the next command";
    // Every key of the normal sub-mode is taken, also one that means nothing.
    EXPECT_TRUE(vim.handleKey({QStringLiteral("Q"), Qt::Key_Q}, document).consumed);
    vim.setSubMode(VimSubMode::insert);
    EXPECT_FALSE(vim.handleKey({QStringLiteral("Q"), Qt::Key_Q}, document).consumed);
}

TEST(EditorModes, TheViewCarriesOutWhatTheModesAsk) {
    EditorView view;
    view.setContent(QStringLiteral("one\ntwo\n"));
    view.setInputMode(EditorInputMode::vim);

    // Without an owner to save or close, the commands do nothing.
    press(view, ":w");
    QStringList asked;
    view.onSaveRequested = [&] {
        asked << "save";
        return true;
    };
    view.onCloseRequested = [&] { asked << "close"; };
    press(view, ":w:q:x");
    EXPECT_EQ(asked, (QStringList{"save", "close", "save", "close"}));

    // The modes' edits are edits like typed ones: they mark the text modified and undo.
    press(view, "dd");
    EXPECT_EQ(view.text(), "two\n");
    EXPECT_TRUE(view.isDirty());
    view.textView()->undo();
    EXPECT_EQ(view.text(), "one\ntwo\n");

    // nano's ^K puts the line with its break on the clipboard.
    view.setInputMode(EditorInputMode::nano);
    setCaret(view, 5);
    press(view, "^K");
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
