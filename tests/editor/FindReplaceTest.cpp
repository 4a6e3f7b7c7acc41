// Find and replace: literal, case-insensitive, non-overlapping matches, a current match that the
// arrows move through with wrap-around, and replacing that undo can take back.
#include "EditorTestSupport.h"
#include "editor/FindReplaceBar.h"
#include "localisation/Loc.h"
#include "localisation/LocBinding.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace editortest;

namespace {

struct Find {
    EditorView view;
    explicit Find(const QString& text) {
        view.resize(600, 400);
        view.show();
        view.setContent(text);
        view.showFindBar();
    }
    FindReplaceBar* bar() const { return view.findBar(); }
    QString label() const { return bar()->matchLabel()->text(); }
    void type(const QString& query) { QTest::keyClicks(bar()->findField(), query); }
};

} // namespace

TEST(FindReplace, MatchesIgnoreCaseAndNeverOverlap) {
    const struct {
        const char* text;
        const char* query;
        std::vector<textsearch::Range> expected;
    } cases[] = {
        {"AB ab aB", "ab", {{0, 2}, {3, 2}, {6, 2}}},
        {"aaa", "aa", {{0, 2}}},
        {"aaaa", "aa", {{0, 2}, {2, 2}}},
        {"a.b", ".", {{1, 1}}},
        {"Straße", "SS", {}},
        {"abc", "", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(textsearch::findAll(QString::fromUtf8(c.text), QString::fromUtf8(c.query)), c.expected)
            << c.text;
}

TEST(FindReplace, TheCurrentMatchAdvancesAsYouTypeAndWraps) {
    Find f(QStringLiteral("ab ab ab"));
    EXPECT_EQ(f.view.findBar()->geometry(), QRect(0, 0, 600, 62));
    EXPECT_EQ(f.view.textView()->geometry().top(), 62);
    EXPECT_EQ(f.view.focusWidget(), f.bar()->findField());

    f.type(QStringLiteral("a"));
    EXPECT_EQ(f.label(), "2/3") << "the index carries over and advances";
    f.type(QStringLiteral("b"));
    EXPECT_EQ(f.label(), "3/3");
    QTest::mouseClick(f.bar()->nextButton(), Qt::LeftButton);
    EXPECT_EQ(f.label(), "1/3") << "wraps to the first";
    QTest::mouseClick(f.bar()->prevButton(), Qt::LeftButton);
    EXPECT_EQ(f.label(), "3/3") << "and back to the last";
    EXPECT_EQ(f.view.textView()->textCursor().selectedText(), "ab");
    EXPECT_EQ(f.view.textView()->textCursor().selectionStart(), 6);
    EXPECT_EQ(f.view.textView()->findHighlights().size(), 3u);

    // Clearing the field removes the highlights but keeps the matches and the label.
    f.bar()->findField()->clear();
    EXPECT_TRUE(f.view.textView()->findHighlights().empty());
    EXPECT_EQ(f.view.findMatches().size(), 3u);
    EXPECT_EQ(f.label(), "3/3");

    f.type(QStringLiteral("zz"));
    EXPECT_EQ(f.label(), qs(Loc::noMatches()));

    // Escape closes the bar and gives the focus back to the text.
    QTest::keyClick(f.bar()->findField(), Qt::Key_Escape);
    EXPECT_EQ(f.view.findBar(), nullptr);
    EXPECT_TRUE(f.view.findMatches().empty());
    EXPECT_EQ(f.view.textView()->geometry().top(), 0);
    EXPECT_EQ(f.view.focusWidget(), f.view.textView());
}

TEST(FindReplace, ASingleMatchStaysCurrent) {
    Find f(QStringLiteral("one match"));
    f.type(QStringLiteral("match"));
    QTest::mouseClick(f.bar()->nextButton(), Qt::LeftButton);
    QTest::mouseClick(f.bar()->prevButton(), Qt::LeftButton);
    EXPECT_EQ(f.label(), "1/1");
}

TEST(FindReplace, ReplaceTakesTheCurrentMatchAndUndoBringsItBack) {
    Find f(QStringLiteral("cat cat cat"));
    f.type(QStringLiteral("cat"));
    ASSERT_EQ(f.view.findMatchIndex(), 0);
    f.bar()->replaceField()->setText(QStringLiteral("dog"));
    QTest::mouseClick(f.bar()->replaceButton(), Qt::LeftButton);
    EXPECT_EQ(f.view.text(), "dog cat cat");
    EXPECT_EQ(f.label(), "2/2") << "the second remaining match is current";
    f.view.textView()->undo();
    EXPECT_EQ(f.view.text(), "cat cat cat");
}

TEST(FindReplace, ReplaceChecksTheStoredRangeStillHoldsTheQuery) {
    Find f(QStringLiteral("x cat"));
    f.type(QStringLiteral("cat"));
    // An edit before the match moves it; the stored range now covers " ca".
    setCaret(f.view, 0);
    f.view.textView()->insertPlainText(QStringLiteral("yy"));
    f.view.replaceCurrentMatch(QStringLiteral("dog"));
    EXPECT_EQ(f.view.text(), "yyx dog");
}

TEST(FindReplace, ReplaceAllIsOneUndoableEdit) {
    Find f(QStringLiteral("a-A-a-a-A"));
    f.bar()->findField()->setText(QStringLiteral("a"));
    f.bar()->replaceField()->setText(QStringLiteral("bc"));
    QTest::mouseClick(f.bar()->replaceAllButton(), Qt::LeftButton);
    EXPECT_EQ(f.view.text(), "bc-bc-bc-bc-bc");
    EXPECT_EQ(f.label(), "0/5");
    EXPECT_TRUE(f.view.findMatches().empty());
    f.view.textView()->undo();
    EXPECT_EQ(f.view.text(), "a-A-a-a-A");
    f.view.textView()->redo();
    EXPECT_EQ(f.view.text(), "bc-bc-bc-bc-bc");

    f.view.replaceAllMatches(QStringLiteral("zz"), QStringLiteral("y"));
    EXPECT_EQ(f.label(), qs(Loc::noMatches()));
}

TEST(FindReplace, OnlyTheMatchesOnScreenAreDrawn) {
    EditorView view;
    view.resize(600, 300);
    view.show();
    view.setContent(QString(20000, QLatin1Char('e'))
                        .replace(QStringLiteral("eeeeeeeeee"), QStringLiteral("eeeeeeeee\n")));
    view.performFind(QStringLiteral("e"), true);
    EXPECT_EQ(view.findMatches().size(), 18000u);
    EXPECT_LT(view.textView()->drawnHighlightCount(), 1000);
    EXPECT_GT(view.textView()->drawnHighlightCount(), 9);
}
