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
        // dd yanks what it deletes: ddp moves a line down, and p after dd brings the deleted line.
        {"a\nb\nc\n", 0, "ddp", "b\na\nc\n", 2, VimSubMode::normal},
        {"a\nb\nc\n", 0, "yyjddp", "a\nc\nb\n", 4, VimSubMode::normal},
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
        // $a appends at the end of the line, not at the start of the next one.
        {"ab\ncd", 0, "$ax", "abx\ncd", 3, VimSubMode::insert},
        {"ab\ncd", 3, "$ax", "ab\ncdx", 6, VimSubMode::insert},
        {"\nb", 0, "ax", "x\nb", 1, VimSubMode::insert},
        {"ab", 1, "ix<esc>", "axb", 2, VimSubMode::normal},
        // "d" then "x" cancels the pending d and types nothing; ":" then an unknown letter too.
        {"ab", 0, "dxd", "ab", 0, VimSubMode::normal},
        {"ab", 0, ":zdd", "", 0, VimSubMode::normal},
        {"ab", 0, ":w:q:x:e", "ab", 0, VimSubMode::normal, "save close save+close"},
        // :wq closes once the write has succeeded; a q that does not follow :w at once is nothing.
        {"ab", 0, ":wq<cr>", "ab", 0, VimSubMode::normal, "save close-if-saved"},
        {"ab", 0, ":wlq", "ab", 1, VimSubMode::normal, "save"},
        {"ab", 0, "q", "ab", 0, VimSubMode::normal},
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

// nano's keys as the window routes them: ^K and ^U reach the mode, every other key is typed and
// ends a run of cuts.
TEST(NanoMode, CutsInARowGatherAndPasteWhole) {
    const struct {
        const char* text;
        int caret;
        const char* keys;
        const char* expected;
        int expectedCaret;
        const char* buffer;
    } cases[] = {
        {"a\nb\nc\n", 0, "^K^K^U", "a\nb\nc\n", 4, "a\nb\n"},
        {"a\nb\nc\n", 0, "^K^K^K^U^U", "a\nb\nc\na\nb\nc\n", 12, "a\nb\nc\n"},
        // Typing between cuts starts a new buffer; so does a paste.
        {"a\nb\nc\n", 0, "^Kx^K^U", "xb\nc\n", 3, "xb\n"},
        {"a\nb\nc\n", 0, "^K^U^K^U", "a\nb\nc\n", 4, "b\n"},
        // The last line without a line break, and pasting in the middle of a line.
        {"a\nb", 0, "^K^K", "", 0, "a\nb"},
        {"ab\ncd\n", 0, "^K<right>^U", "cab\nd\n", 4, "ab\n"},
        {"ab", 1, "^U", "ab", 1, ""},
    };
    for (const auto& c : cases) {
        NanoMode nano;
        ModeTestDocument document(QString::fromUtf8(c.text), c.caret);
        for (const ModeKey& key : modeKeys(QString::fromUtf8(c.keys))) {
            const ModeResult result = nano.handleKey(key, document);
            if (result.consumed) {
                document.apply(result);
                continue;
            }
            nano.breakCutRun();
            if (key.key == Qt::Key_Right) {
                ModeResult right;
                right.motion = ModeResult::Motion::right;
                document.apply(right);
            } else {
                document.type(key.text);
            }
        }
        const std::string label = std::string(c.text) + " / " + c.keys;
        EXPECT_EQ(document.text(), QString::fromUtf8(c.expected)) << label;
        EXPECT_EQ(document.caret(), c.expectedCaret) << label;
        EXPECT_EQ(nano.cutBuffer(), QString::fromUtf8(c.buffer)) << label;
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
    bool writes = true;
    std::function<void(bool)> answerLater;
    view.onSaveRequested = [&](std::function<void(bool)> done) {
        asked << "save";
        if (answerLater) {
            answerLater = std::move(done);
            return;
        }
        done(writes);
    };
    view.onCloseRequested = [&] { asked << "close"; };
    press(view, ":w:q:x");
    EXPECT_EQ(asked, (QStringList{"save", "close", "save", "close"}));

    // :wq and :x close only once the file is written, also when the save answers later.
    for (const char* keys : {":wq", ":x"}) {
        SCOPED_TRACE(keys);
        asked.clear();
        writes = false;
        press(view, keys);
        EXPECT_EQ(asked, QStringList{"save"}) << "a failed or cancelled save keeps the tab";
        asked.clear();
        answerLater = [](bool) {};
        press(view, keys);
        EXPECT_EQ(asked, QStringList{"save"});
        std::exchange(answerLater, nullptr)(true);
        EXPECT_EQ(asked, (QStringList{"save", "close"}));
    }

    // The modes' edits are edits like typed ones: they mark the text modified and undo.
    press(view, "dd");
    EXPECT_EQ(view.text(), "two\n");
    EXPECT_TRUE(view.isDirty());
    view.textView()->undo();
    EXPECT_EQ(view.text(), "one\ntwo\n");

    // nano's ^K puts the line with its break on the clipboard; ^K in a row gathers the lines, and
    // ^U pastes them whole from nano's own buffer, whatever the clipboard holds by then.
    view.setContent(QStringLiteral("one\ntwo\nthree\n"));
    view.setInputMode(EditorInputMode::nano);
    setCaret(view, 4);
    press(view, "^K");
    EXPECT_EQ(view.text(), "one\nthree\n");
    EXPECT_EQ(QApplication::clipboard()->text(), "two\n");
    press(view, "^K");
    EXPECT_EQ(QApplication::clipboard()->text(), "two\nthree\n");
    QApplication::clipboard()->setText(QStringLiteral("elsewhere"));
    setCaret(view, 0);
    press(view, "^U");
    EXPECT_EQ(view.text(), "two\nthree\none\n");
    // A key typed into the text between two cuts starts a new buffer.
    press(view, "^K");
    QTest::keyClick(view.textView(), Qt::Key_Up);
    press(view, "^K");
    EXPECT_EQ(view.nano().cutBuffer(), "three\n");
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
