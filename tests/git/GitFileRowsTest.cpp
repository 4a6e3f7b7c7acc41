// The files card: one row per changed file up to 30, rebuilt only when the list changes, the diff a
// click opens below its row (at most 200 coloured lines), the row's hover and menu, and the label
// that slides a long name while the pointer rests on it.
#include "GitPanelViewTestSupport.h"
#include "GitTestSupport.h"
#include "git/ClickableFileRow.h"
#include "git/GitPanelModel.h"
#include "git/GitPanelView.h"
#include "git/GitRowText.h"
#include "git/InlineDiff.h"
#include "git/MarqueeLabel.h"
#include "support/GitPanelViewTestAccess.h"
#include "support/Waits.h"

#include <QEnterEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>
#include <gtest/gtest.h>

using namespace gittest;

namespace {

std::vector<ClickableFileRow*> rowsOf(const GitPanelView& panel) {
    std::vector<ClickableFileRow*> rows;
    for (int i = 0; i < internals(panel).filesStack()->count(); ++i)
        if (auto* row = qobject_cast<ClickableFileRow*>(internals(panel).filesStack()->itemAt(i)->widget()))
            rows.push_back(row);
    return rows;
}

ClickableFileRow* rowFor(const GitPanelView& panel, const QString& path) {
    for (ClickableFileRow* row : rowsOf(panel))
        if (row->filePath == path) return row;
    return nullptr;
}

// The index in the files stack of the open diff, -1 without one.
int diffIndex(const GitPanelView& panel) {
    for (int i = 0; i < internals(panel).filesStack()->count(); ++i)
        if (qobject_cast<InlineDiffView*>(internals(panel).filesStack()->itemAt(i)->widget())) return i;
    return -1;
}

int indexOf(const GitPanelView& panel, QWidget* w) {
    return internals(panel).filesStack()->indexOf(w);
}

void enter(QWidget* w) {
    QEnterEvent event(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
    QCoreApplication::sendEvent(w, &event);
}

void leave(QWidget* w) {
    QEvent event(QEvent::Leave);
    QCoreApplication::sendEvent(w, &event);
}

} // namespace

TEST(GitFileRows, FortyChangedFilesShowThirtyRowsAndCountForty) {
    Sandbox box;
    const QString repo = makeRepo(box, "many");
    for (int i = 0; i < 40; ++i)
        writeFile(repo + QStringLiteral("/f%1.txt").arg(i, 2, 10, QLatin1Char('0')), "x");
    auto panel = makePanel();
    ASSERT_TRUE(showFolder(*panel, repo));
    EXPECT_EQ(rowsOf(*panel).size(), 30u);
    EXPECT_EQ(internals(*panel).statusLabel()->text(), "40 files changed");
    EXPECT_LE(internals(*panel).filesScrollView()->height(), GitPanelView::kMaxFilesHeight);
    EXPECT_EQ(rowsOf(*panel).front()->height(), 18);
    EXPECT_EQ(plainText(rowsOf(*panel).front()->marqueeLabel()->attributedText()), "NEW  f00.txt");
}

TEST(GitFileRows, ClickingOpensClosesAndReplacesTheDiff) {
    Sandbox box;
    const QString repo = makeRepo(box, "proj");
    commitFile(repo, "a.txt", "one\ntwo\n", "a");
    commitFile(repo, "b.txt", "b\n", "b");
    writeFile(repo + "/a.txt", "one\nthree\n");
    writeFile(repo + "/b.txt", "bee\n");
    auto panel = makePanel();
    ASSERT_TRUE(showFolder(*panel, repo));
    ClickableFileRow* a = rowFor(*panel, "a.txt");
    ClickableFileRow* b = rowFor(*panel, "b.txt");
    ASSERT_TRUE(a && b);

    a->onClick();
    ASSERT_TRUE(waitFor([&] { return panel->currentDiffView() != nullptr; }));
    EXPECT_EQ(diffIndex(*panel), indexOf(*panel, a) + 1) << "the diff opens directly below its row";
    auto* diff = qobject_cast<InlineDiffView*>(panel->currentDiffView());
    std::vector<QString> texts;
    for (const DiffLine& line : diff->lines()) texts.push_back(line.text);
    EXPECT_NE(std::find(texts.begin(), texts.end(), "-two"), texts.end());
    EXPECT_NE(std::find(texts.begin(), texts.end(), "+three"), texts.end());

    a->onClick();
    EXPECT_EQ(panel->currentDiffView(), nullptr) << "a second click closes it";
    EXPECT_FALSE(panel->expandedDiffFile());

    a->onClick();
    b->onClick();
    ASSERT_TRUE(waitFor([&] { return panel->currentDiffView() && panel->expandedDiffFile() == "b.txt"; }));
    testsupport::drainEvents();
    EXPECT_EQ(diffIndex(*panel), indexOf(*panel, b) + 1);
    int diffs = 0;
    for (int i = 0; i < internals(*panel).filesStack()->count(); ++i)
        if (qobject_cast<InlineDiffView*>(internals(*panel).filesStack()->itemAt(i)->widget())) ++diffs;
    EXPECT_EQ(diffs, 1) << "only the second diff shows";
}

TEST(GitFileRows, TheSameListKeepsRowsAndDiffAndAChangedLetterRebuilds) {
    Sandbox box;
    const QString repo = makeRepo(box, "proj");
    commitFile(repo, "a.txt", "one\n", "a");
    writeFile(repo + "/a.txt", "two\n");
    auto panel = makePanel();
    ASSERT_TRUE(showFolder(*panel, repo));
    ClickableFileRow* row = rowFor(*panel, "a.txt");
    ASSERT_TRUE(row);
    EXPECT_EQ(row->statusX, u' ');
    EXPECT_EQ(row->statusY, u'M');
    row->onClick();
    ASSERT_TRUE(waitFor([&] { return panel->currentDiffView() != nullptr; }));
    QWidget* diff = panel->currentDiffView();

    ASSERT_TRUE(refreshed(*panel));
    EXPECT_EQ(rowFor(*panel, "a.txt"), row) << "the same list rebuilds nothing";
    EXPECT_EQ(panel->currentDiffView(), diff) << "and the diff stays open";

    // " M" becomes "M ": staged, so the rows are rebuilt and the diff closes.
    git(repo, {"add", "a.txt"});
    ASSERT_TRUE(refreshed(*panel));
    EXPECT_EQ(panel->currentDiffView(), nullptr);
    ClickableFileRow* staged = rowFor(*panel, "a.txt");
    ASSERT_TRUE(staged);
    EXPECT_EQ(staged->statusX, u'M');
    // A staged change is shown from the index.
    staged->onClick();
    ASSERT_TRUE(waitFor([&] { return panel->currentDiffView() != nullptr; }));
    bool added = false;
    for (const DiffLine& line : qobject_cast<InlineDiffView*>(panel->currentDiffView())->lines())
        added = added || line.text == "+two";
    EXPECT_TRUE(added);
}

TEST(GitFileRows, DiffLinesAreCappedAndColouredByHowTheyBegin) {
    QStringList many;
    for (int i = 0; i < 250; ++i) many << QStringLiteral("+line %1").arg(i);
    const std::vector<DiffLine> capped = diffLines(many.join('\n'));
    ASSERT_EQ(capped.size(), 200u);
    EXPECT_EQ(capped.back().text, "+line 199");

    struct Case {
        QString line;
        QColor color;
    };
    const Case cases[] = {
        {"+++ b/a.txt", QColor::fromRgbF(0.5, 0.5, 0.5)}, {"--- a/a.txt", QColor::fromRgbF(0.5, 0.5, 0.5)},
        {"+added", QColor::fromRgbF(0.4, 0.8, 0.45)},     {"-removed", QColor::fromRgbF(1.0, 0.4, 0.4)},
        {"@@ -1 +1 @@", QColor::fromRgbF(0.5, 0.7, 1.0)}, {" context", QColor::fromRgbF(0.45, 0.45, 0.45)},
        {"", QColor::fromRgbF(0.45, 0.45, 0.45)},
    };
    for (const Case& c : cases) EXPECT_EQ(diffLineColor(c.line), c.color) << c.line.toStdString();

    // Empty lines are kept; the last line has no line end after it.
    const std::vector<DiffLine> kept = diffLines("a\n\nb");
    ASSERT_EQ(kept.size(), 3u);
    EXPECT_EQ(kept[1].text, "");
    InlineDiffView view(many.join('\n'));
    view.resize(280, 100);
    EXPECT_EQ(view.heightForWidth(280), kMaxDiffHeight) << "a long diff scrolls inside 180 px";
}

TEST(GitFileRows, TheRowShowsItsIgnoreButtonOnHoverAndOffersIgnoreInItsMenu) {
    ClickableFileRow row;
    row.resize(200, 18);
    row.show();
    EXPECT_EQ(row.contextMenu(), nullptr) << "no menu without an ignore handler";
    int ignored = 0, clicked = 0;
    row.onIgnore = [&] { ++ignored; };
    row.onClick = [&] { ++clicked; };

    EXPECT_EQ(row.ignoreBtnOpacity(), 0.0);
    enter(&row);
    EXPECT_EQ(row.ignoreBtnOpacity(), 1.0);
    leave(&row);
    EXPECT_EQ(row.ignoreBtnOpacity(), 0.0);

    std::unique_ptr<QMenu> menu = row.contextMenu();
    ASSERT_TRUE(menu);
    ASSERT_EQ(menu->actions().size(), 1);
    EXPECT_EQ(menu->actions()[0]->text(), "Add to .gitignore");
    menu->actions()[0]->trigger();
    row.ignoreBtn()->click();
    EXPECT_EQ(ignored, 2);
    EXPECT_EQ(clicked, 0);
}

TEST(GitFileRows, ALabelScrollsOnlyWhenItsTextOverflowsByMoreThanFive) {
    MarqueeLabel label;
    label.setAttributedText({{"some-rather-long-file-name.txt", QFont(), Qt::white}});
    const int textWidth = static_cast<int>(label.textWidth());
    for (const auto& [overflow, scrolls] : {std::pair{4, false}, std::pair{5, false}, std::pair{6, true}}) {
        SCOPED_TRACE(overflow);
        label.resize(textWidth - overflow, 16);
        enter(&label);
        EXPECT_EQ(label.isScrolling(), scrolls);
        leave(&label);
    }
    // Hovered, the text waits and then slides left; leaving brings it back to the start.
    label.resize(textWidth - 20, 16);
    enter(&label);
    ASSERT_TRUE(waitFor([&] { return label.offset() < 0; }, 5000));
    leave(&label);
    EXPECT_FALSE(label.isScrolling());
    EXPECT_TRUE(waitFor([&] { return label.offset() == 0; }, 5000));
}
