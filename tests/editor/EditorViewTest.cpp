// The editor view's frame: where the bars, gutter and text go, colours, the line numbers, the
// preview, and pictures of it for a person to look at.
#include "EditorTestSupport.h"
#include "editor/FindReplaceBar.h"
#include "editor/LineGutterView.h"
#include "editor/SyntaxTextStorage.h"
#include "support/Artifacts.h"

#include <QLineEdit>
#include <QTest>
#include <QTextBrowser>
#include <gtest/gtest.h>

using namespace editortest;

TEST(EditorView, BarsPushTheTextDownAndASmallViewGivesNoNegativeSizes) {
    EditorView view;
    view.resize(500, 300);
    view.show();
    EXPECT_EQ(view.lineGutter()->geometry(), QRect(0, 0, 44, 300));
    view.setInputMode(EditorInputMode::vim);
    view.showFindBar();
    EXPECT_EQ(view.findBar()->geometry(), QRect(0, 26, 500, 62));
    EXPECT_EQ(view.textView()->geometry(), QRect(44, 88, 456, 212));
    EXPECT_EQ(view.findBar()->findField()->geometry(), QRect(8, 4, 290, 24));

    view.resize(30, 20);
    EXPECT_EQ(view.textView()->geometry().size(), QSize(0, 0));
    EXPECT_EQ(view.lineGutter()->height(), 0);
}

TEST(EditorView, ColoursFollowTheBackgroundsBrightness) {
    EditorView view;
    view.applyColors(QColor(250, 250, 250), QColor(20, 20, 20));
    EXPECT_EQ(view.textView()->palette().color(QPalette::Base), QColor(250, 250, 250));
    EXPECT_EQ(view.syntaxStorage()->baseFG(), QColor(20, 20, 20));
    EXPECT_EQ(view.lineGutter()->bgColor(), QColor::fromRgbF(0.88f, 0.88f, 0.88f));
    view.applyColors(QColor(10, 10, 20), QColor(220, 220, 220));
    EXPECT_EQ(view.lineGutter()->numColor(), QColor::fromRgbF(0.35f, 0.35f, 0.35f));
}

TEST(EditorView, TheGutterNumbersLinesNotWrappedRows) {
    EditorView view;
    view.resize(300, 400);
    view.show();
    QList<LineGutterView::Label> labels = view.lineGutter()->visibleLabels();
    ASSERT_EQ(labels.size(), 1);
    EXPECT_EQ(labels[0].number, 1) << "an empty document shows 1";

    view.setContent(QStringLiteral("short\n") + QString(120, QLatin1Char('w')) + QStringLiteral("\nlast"));
    labels = view.lineGutter()->visibleLabels();
    ASSERT_EQ(labels.size(), 3);
    EXPECT_EQ(labels[2].number, 3);
    EXPECT_GT(labels[2].y - labels[1].y, 2 * (labels[1].y - labels[0].y))
        << "the long line wraps, one number";

    // Far down a long text the numbers still count from the start.
    QString many;
    for (int i = 1; i <= 5000; ++i) many += QStringLiteral("line %1\n").arg(i);
    view.setContent(many);
    setCaret(view, static_cast<int>(many.indexOf(QStringLiteral("line 4000\n"))));
    view.textView()->centerCursor();
    labels = view.lineGutter()->visibleLabels();
    ASSERT_FALSE(labels.isEmpty());
    EXPECT_LE(labels.first().number, 4000);
    EXPECT_GE(labels.last().number, 4000);
}

TEST(EditorView, APreviewCoversTheTextAndIsReused) {
    EditorView view;
    view.resize(400, 300);
    view.show();
    view.setInputMode(EditorInputMode::nano);
    view.showPreview(QStringLiteral("<h1>One</h1>"));
    EXPECT_TRUE(view.isPreviewActive());
    EXPECT_TRUE(view.textView()->isHidden());
    auto* preview = view.findChild<QTextBrowser*>();
    ASSERT_NE(preview, nullptr);
    view.showPreview(QStringLiteral("<h1>Two</h1>"));
    EXPECT_EQ(view.findChildren<QTextBrowser*>().size(), 1);
    EXPECT_TRUE(preview->toPlainText().contains(QStringLiteral("Two")));
    view.hidePreview();
    EXPECT_FALSE(view.isPreviewActive());
    EXPECT_FALSE(view.textView()->isHidden());
}

TEST(EditorView, ArtifactScreenshots) {
    const QString sample = QStringLiteral(
        "import os\n\n@cached\ndef greet(name: str) -> str:\n    \"\"\"Say hello.\"\"\"\n"
        "    # a comment\n    return f\"hello {name}\" * 2\n\nclass Box(object):\n    def __init__(self):\n"
        "        self.items = [1, 2.5, None, True]\n");
    for (const bool dark : {true, false}) {
        EditorView view;
        view.resize(560, 320);
        view.applyColors(dark ? QColor(20, 20, 28) : QColor(250, 250, 250),
                         dark ? QColor(216, 216, 230) : QColor(30, 30, 30));
        view.setHighlightDark(dark);
        view.setContent(sample);
        view.setLanguage(SyntaxLanguage::python);
        view.show();
        if (!dark) {
            view.setInputMode(EditorInputMode::vim);
            view.showFindBar();
            QTest::keyClicks(view.findBar()->findField(), QStringLiteral("self"));
        }
        ASSERT_TRUE(QTest::qWaitFor([&] { return view.syntaxStorage()->passCount() >= 1; }, 5000));
        testsupport::snapshot(&view).save(testsupport::artifactsDir() +
                                          (dark ? "/editor-dark.png" : "/editor-light-vim-find.png"));
    }
}
