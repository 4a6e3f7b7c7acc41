// When the storage colours: at once on a change of language or palette, 0.15 s after the last
// character edit otherwise, and never as an edit of the text.
#include "editor/SyntaxTextStorage.h"

#include "editor/EditorTextView.h"
#include "editor/EditorView.h"

#include "support/Waits.h"

#include <QAbstractTextDocumentLayout>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTextCursor>
#include <gtest/gtest.h>

namespace {

struct Storage {
    QPlainTextEdit view;
    SyntaxTextStorage storage{view.document()};
    int edits = 0;
    Storage() {
        storage.onTextEdited = [this] { ++edits; };
    }
    void type(const QString& text) {
        QTextCursor cursor = view.textCursor();
        cursor.movePosition(QTextCursor::End);
        cursor.insertText(text);
    }
};

const QColor kKeyword(86, 156, 214);

} // namespace

TEST(SyntaxTextStorage, ALanguageOrPaletteChangeColoursAtOnceAndTheSameValueDoesNothing) {
    Storage s;
    s.view.setPlainText(QStringLiteral("if true; then echo; fi"));
    s.storage.setLanguage(SyntaxLanguage::shell);
    EXPECT_EQ(s.storage.passCount(), 1) << "before the setter returned";
    EXPECT_EQ(s.storage.colourAt(0), kKeyword);
    s.storage.setLanguage(SyntaxLanguage::shell);
    s.storage.setDark(true);
    EXPECT_EQ(s.storage.passCount(), 1);
    s.storage.setDark(false);
    EXPECT_EQ(s.storage.passCount(), 2);
    EXPECT_EQ(s.storage.colourAt(0), QColor(0, 0, 255));

    // Back to plain text: the colours stay and edits schedule nothing.
    s.storage.setLanguage(SyntaxLanguage::none);
    s.type(QStringLiteral(" x"));
    EXPECT_FALSE(s.storage.isPassScheduled());
    EXPECT_EQ(s.storage.colourAt(0), QColor(0, 0, 255));
}

TEST(SyntaxTextStorage, TypingReportsEveryEditAndColoursOnceAfterTheLast) {
    Storage s;
    s.storage.setLanguage(SyntaxLanguage::python);
    s.type(QStringLiteral("x = 1\n"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return s.storage.passCount() == 1; }, 5000));
    s.edits = 0;

    // Three characters typed before the event loop runs again, so well within 0.15 s.
    s.type(QStringLiteral("d"));
    s.type(QStringLiteral("e"));
    s.type(QStringLiteral("f"));
    EXPECT_EQ(s.edits, 3);
    EXPECT_EQ(s.storage.passCount(), 1) << "no pass before the delay";
    EXPECT_TRUE(s.storage.isPassScheduled());
    ASSERT_TRUE(QTest::qWaitFor([&] { return s.storage.passCount() == 2; }, 5000));
    EXPECT_EQ(s.storage.colourAt(6), kKeyword);
    // The pass's own colour changes are no edits: nothing is reported and no further pass waits.
    EXPECT_EQ(s.edits, 3);
    EXPECT_FALSE(s.storage.isPassScheduled());
    ASSERT_TRUE(testsupport::waitForTimerStartedBefore(SyntaxTextStorage::kHighlightDelayMs));
    EXPECT_EQ(s.storage.passCount(), 2);
}

TEST(SyntaxTextStorage, APassAddsNoUndoStepAndLeavesTheDocumentUnmodified) {
    Storage s;
    s.view.setPlainText(QStringLiteral("def f():\n    return None\n"));
    s.view.document()->setModified(false);
    s.edits = 0;
    const int undoSteps = s.view.document()->availableUndoSteps();
    s.storage.setLanguage(SyntaxLanguage::python);
    s.storage.setDark(false);
    EXPECT_EQ(s.storage.passCount(), 2);
    EXPECT_FALSE(s.view.document()->isModified());
    EXPECT_EQ(s.view.document()->availableUndoSteps(), undoSteps);
    EXPECT_EQ(s.edits, 0);
}

TEST(SyntaxTextStorage, TheTextIsTheUsersOwn) {
    Storage s;
    const QString text = QStringLiteral("a\u00A0b\u2028c\nd");
    s.view.setPlainText(text);
    EXPECT_EQ(s.storage.text(), text) << "no-break space and line separator kept, line feeds as typed";
}

TEST(SyntaxTextStorage, ALargeTextIsColouredOffTheGuiThreadAndAStaleResultIsDropped) {
    Storage s;
    s.storage.setBackgroundThreshold(64);
    // A no-break space and a line separator first: the copy taken for the worker keeps every
    // character where the document has it, or the colours land beside their words.
    QString text = QStringLiteral("a\u00A0b\u2028c\n");
    const int prefix = static_cast<int>(text.size());
    for (int i = 0; i < 200; ++i) text += QStringLiteral("if x; then y; fi\n");
    s.view.setPlainText(text);
    s.storage.setLanguage(SyntaxLanguage::shell);
    EXPECT_EQ(s.storage.passCount(), 0) << "the pass runs on a worker";
    // An edit before the result arrives makes it stale; the pass after the edit colours instead.
    s.type(QStringLiteral("fi"));
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return s.storage.passCount() == 1 && !s.storage.isPassRunning(); }, 10000));
    EXPECT_EQ(s.storage.colourAt(static_cast<int>(text.size()) + 1), kKeyword)
        << "the typed word is coloured";
    EXPECT_EQ(s.storage.colourAt(prefix + 17 * 150), kKeyword);
    EXPECT_EQ(s.storage.colourAt(prefix + 17 * 150 + 2), QColor()) << "the space after it keeps the base colour";
}

TEST(SyntaxTextStorage, AViewScrolledDownIsRepaintedWhenTheLinesItShowsTakeTheirColours) {
    // A large pass repaints only for the lines on screen; the view tells which those are.
    EditorView view;
    view.resize(600, 400);
    SyntaxTextStorage* storage = view.syntaxStorage();
    storage->setBackgroundThreshold(64);
    // Only the lines from 1000 on take colours; the view shows lines near 1500.
    QString text;
    for (int i = 0; i < 1000; ++i) text += QStringLiteral("x y z\n");
    for (int i = 0; i < 2000; ++i) text += QStringLiteral("if x; then y; fi\n");
    view.setContent(text);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    view.textView()->verticalScrollBar()->setValue(1500);
    ASSERT_GE(view.textView()->visibleBlockNumbers().first, 1000);
    QSignalSpy repaints(view.textView()->document()->documentLayout(), &QAbstractTextDocumentLayout::update);
    view.setLanguage(SyntaxLanguage::shell);
    ASSERT_TRUE(QTest::qWaitFor([&] { return storage->passCount() == 1; }, 10000));
    EXPECT_GE(repaints.count(), 1);
    // The same colours again change no line: nothing to repaint.
    repaints.clear();
    storage->highlight();
    ASSERT_TRUE(QTest::qWaitFor([&] { return storage->passCount() == 2; }, 10000));
    EXPECT_EQ(repaints.count(), 0);
}
