// The text view's own behaviour: auto-indent on Return, the bracket highlight, the paste hook and
// file drops.
#include "EditorTestSupport.h"
#include "editor/SyntaxTextStorage.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QTest>
#include <gtest/gtest.h>

using namespace editortest;

TEST(EditorTextView, ReturnKeepsTheIndentAndOpensBlocks) {
    const struct {
        const char* text;
        int caret;
        bool tabs;
        const char* expected;
        int expectedCaret;
    } cases[] = {
        {"    if (x) {", 12, false, "    if (x) {\n      ", 19},
        {"    if (x) {", 12, true, "    if (x) {\n    \t", 18},
        {"\t  f({})", 6, false, "\t  f({\n\t    \n\t  })", 12},
        {"a {}", 3, false, "a {\n  \n}", 6},
        {"  a {", 2, false, "  \n    a {", 7},
        {"   ", 3, false, "   \n   ", 7},
        {"x", 1, false, "x\n", 2},
        {"call(", 5, true, "call(\n\t", 7},
    };
    for (const auto& c : cases) {
        EditorView view;
        view.textView()->useTabs = [&c] { return c.tabs; };
        view.setContent(QString::fromUtf8(c.text));
        setCaret(view, c.caret);
        QTest::keyClick(view.textView(), Qt::Key_Return);
        EXPECT_EQ(view.text(), QString::fromUtf8(c.expected)) << c.text;
        EXPECT_EQ(caret(view), c.expectedCaret) << c.text;
    }
}

TEST(EditorTextView, TheBracketAtOrBeforeTheCaretAndItsPartnerAreHighlighted) {
    const struct {
        const char* text;
        int caret;
        std::vector<textsearch::Range> expected;
    } cases[] = {
        {"f(a)", 4, {{3, 1}, {1, 1}}},   // after ")"
        {"()", 1, {{1, 1}, {0, 1}}},     // between: the ")" at the caret first
        {"{[()]}", 0, {{0, 1}, {5, 1}}}, // nested, forward
        {"(()", 0, {}},                  // no partner
        {")", 0, {}},                    // a closer at the very start
        {"x", 1, {}},
    };
    for (const auto& c : cases) {
        EditorView view;
        view.setContent(QString::fromUtf8(c.text));
        setCaret(view, c.caret);
        view.textView()->updateBracketHighlight();
        EXPECT_EQ(view.textView()->bracketHighlightRanges(), c.expected) << c.text;
    }

    // The partner must lie within 10,000 characters.
    EditorView view;
    const QString near = QStringLiteral("(") + QString(9999, QLatin1Char('x')) + QStringLiteral(")");
    view.setContent(near);
    setCaret(view, 0);
    view.textView()->updateBracketHighlight();
    EXPECT_EQ(view.textView()->bracketHighlightRanges().size(), 2u);
    view.setContent(QStringLiteral("(") + QString(10000, QLatin1Char('x')) + QStringLiteral(")"));
    setCaret(view, 0);
    view.textView()->updateBracketHighlight();
    EXPECT_TRUE(view.textView()->bracketHighlightRanges().empty());
    EXPECT_EQ(view.textView()->drawnHighlightCount(), 0);
}

TEST(EditorTextView, PastingIntoAnEmptyUncolouredEditorNamesItsLanguage) {
    EditorView view;
    std::vector<bool> pastes;
    const auto hook = view.textView()->onPaste;
    view.textView()->onPaste = [&](bool wasEmpty) {
        pastes.push_back(wasEmpty);
        hook(wasEmpty);
    };
    QApplication::clipboard()->setText(QStringLiteral("{\"a\": 1}"));
    view.textView()->paste();
    EXPECT_EQ(view.language(), SyntaxLanguage::json);
    view.textView()->paste();
    EXPECT_EQ(pastes, (std::vector<bool>{true, false}));

    // Into text already there, or into an editor with a language, the language stays.
    EditorView other;
    other.setContent(QStringLiteral("x"));
    other.textView()->paste();
    EXPECT_EQ(other.language(), SyntaxLanguage::none);
    EditorView set;
    set.setLanguage(SyntaxLanguage::yaml);
    set.textView()->paste();
    EXPECT_EQ(set.language(), SyntaxLanguage::yaml);
}

TEST(EditorTextView, ADroppedFileOpensTheFirstAndDroppedTextIsInserted) {
    EditorView view;
    view.resize(400, 300);
    view.show();
    QStringList opened;
    view.onOpenFile = [&](const QString& path) { opened << path; };
    const auto drop = [&](QMimeData* mime) {
        QWidget* target = view.textView()->viewport();
        const QPoint at(20, 10);
        QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction, mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        QDropEvent dropEvent(at, Qt::CopyAction | Qt::MoveAction, mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &dropEvent);
        return enter.isAccepted();
    };
    QMimeData files;
    files.setUrls({QUrl::fromLocalFile("/tmp/a.txt"), QUrl::fromLocalFile("/tmp/b.txt"),
                   QUrl::fromLocalFile("/tmp/c.txt")});
    EXPECT_TRUE(drop(&files));
    EXPECT_EQ(opened, QStringList{"/tmp/a.txt"});
    EXPECT_TRUE(view.text().isEmpty());

    QMimeData text;
    text.setText(QStringLiteral("dropped"));
    drop(&text);
    EXPECT_EQ(view.text(), "dropped");
    EXPECT_EQ(opened.size(), 1);
}
