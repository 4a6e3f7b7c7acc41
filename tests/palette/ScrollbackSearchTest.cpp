#include "palette/ScrollbackSearch.h"

#include "PaletteTestSupport.h"
#include "engine/Terminal.h"
#include "palette/SearchSession.h"
#include "terminalview/ViewTestSupport.h"

namespace {

// A terminal of 20 columns and 3 rows that printed `lines`, one per row.
std::unique_ptr<Terminal> printed(const QStringList& lines) {
    auto term = std::make_unique<Terminal>(20, 3);
    for (int i = 0; i < lines.size(); ++i) {
        const QByteArray bytes = (i ? QStringLiteral("\r\n") : QString()).toUtf8() + lines[i].toUtf8();
        term->process(std::string_view(bytes.constData(), std::size_t(bytes.size())));
    }
    return term;
}

} // namespace

TEST(ScrollbackSearch, MatchesInScrollbackAndScreen) {
    struct Case {
        QStringList lines;
        QString query;
        std::vector<SearchHighlight> matches;
    };
    const std::vector<Case> cases{
        {{"Foo foo FOO"}, "foo", {{0, 0, 3}, {0, 4, 3}, {0, 8, 3}}},
        {{"aaaa"}, "aa", {{0, 0, 2}, {0, 2, 2}}},
        // Five lines on three rows: two went to the scrollback, the newest is row -1.
        {{"needle one", "needle two", "x", "y", "z"}, "NEEDLE", {{-2, 0, 6}, {-1, 0, 6}}},
        // "İ" lowercases to two code points elsewhere; here each cell stays one, so the columns hold.
        {{"İx İx"}, "x", {{0, 1, 1}, {0, 4, 1}}},
        {{"İstanbul"}, "i", {{0, 0, 1}}},
        {{"a 漢字 b"}, "b", {{0, 7, 1}}},
        {{"nothing"}, "zzz", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.query.toStdString());
        const auto term = printed(c.lines);
        EXPECT_EQ(findScrollbackMatches(*term, c.query), c.matches);
    }
}

class SearchSessionTest : public ViewTest {
protected:
    void SetUp() override {
        ViewTest::SetUp();
        palette = std::make_unique<FakePaletteHost>(*defaults);
        session = std::make_unique<SearchSession>(*palette);
        view = makeQuietView(QSize(400, 120));
        palette->terminal = view.get();
    }
    void TearDown() override {
        session.reset();
        view.reset();
        ViewTest::TearDown();
    }
    std::unique_ptr<FakePaletteHost> palette;
    std::unique_ptr<SearchSession> session;
    std::unique_ptr<TerminalView> view;
};

TEST_F(SearchSessionTest, ASearchHighlightsEveryMatchAndScrollsToTheLast) {
    QByteArray lines;
    for (int i = 0; i < 60; ++i) lines += (i == 3 ? QByteArray("a Foo here\r\n") : QByteArray("line\r\n"));
    feed(*view, lines + "Foo foo FOO");
    session->performScrollbackSearch(QStringLiteral("foo"));
    const auto& found = session->searchHighlights();
    ASSERT_EQ(found.size(), 4u);
    EXPECT_LT(found[0].row, 0) << "the scrollback line comes first";
    EXPECT_EQ(found[0].col, 2);
    EXPECT_EQ(session->searchCurrentIndex(), 3);
    EXPECT_EQ(session->searchQuery(), QStringLiteral("foo"));
    EXPECT_EQ(session->highlights(view.get()).size(), 4u);
    EXPECT_TRUE(session->highlights(nullptr).empty()) << "only the searched terminal draws them";
    EXPECT_EQ(view->smoothScrollY(), 0.0) << "the last match is on the screen";
    ASSERT_EQ(palette->toasts.size(), 1u);
    EXPECT_EQ(palette->toasts[0].badge, QStringLiteral("4/4"));
    EXPECT_EQ(palette->toasts[0].text, QStringLiteral("\"foo\""));
    EXPECT_EQ(palette->toasts[0].identifier, QStringLiteral("searchToast"));
    EXPECT_EQ(palette->toasts[0].color, QColor::fromRgbF(0.75f, 0.52f, 0.08f, 1.0f));

    // A match only in the scrollback scrolls its line to the top of the view.
    session->performScrollbackSearch(QStringLiteral("here"));
    ASSERT_EQ(session->searchHighlights().size(), 1u);
    const SearchHighlight only = session->searchHighlights()[0];
    EXPECT_DOUBLE_EQ(view->smoothScrollY(), view->cellH() * double(-only.row));
    // The view draws the current match on the top row it scrolled to.
    host.highlights = session->searchHighlights();
    host.currentHighlight = session->searchCurrentIndex();
    view->show();
    const QImage image = grabImage(*view);
    const QPoint probe(int(TerminalView::paddingX + view->cellW() * (double(only.col) + 1.5)),
                       int(TerminalView::paddingY + view->cellH() * 0.5));
    const QColor match = image.pixelColor(probe);
    EXPECT_GT(match.red(), match.blue() + 60) << "the current match glows orange";

    // A failed search says so and keeps the earlier highlights.
    session->performScrollbackSearch(QStringLiteral("absent"));
    EXPECT_EQ(palette->toasts.back().badge, QStringLiteral("0"));
    EXPECT_EQ(palette->toasts.back().text, QStringLiteral("no matches for \"absent\""));
    EXPECT_EQ(palette->toasts.back().color, QColor::fromRgbF(0.6f, 0.2f, 0.18f, 1.0f));
    EXPECT_EQ(session->searchHighlights().size(), 1u);
    EXPECT_EQ(session->searchQuery(), QStringLiteral("here"));
}

TEST_F(SearchSessionTest, TheCleanUpAndATabSwitchForgetTheMatches) {
    feed(*view, "Foo foo FOO");
    session->performScrollbackSearch(QStringLiteral("foo"));
    EXPECT_TRUE(session->isCleanupPending());
    session->clearSearchState(); // what a tab switch does
    EXPECT_TRUE(session->searchHighlights().empty());
    EXPECT_EQ(session->searchCurrentIndex(), -1);
    EXPECT_FALSE(session->isCleanupPending());

    session->setCleanupInterval(50);
    session->performScrollbackSearch(QStringLiteral("foo"));
    ASSERT_EQ(session->searchHighlights().size(), 3u);
    ASSERT_TRUE(QTest::qWaitFor([&] { return session->searchHighlights().empty(); }, 5000));
    EXPECT_EQ(session->searchQuery(), QString());
}

TEST_F(SearchSessionTest, AnEditorTabOrNoTabSearchesNothing) {
    feed(*view, "Foo");
    palette->terminal = nullptr;
    session->performScrollbackSearch(QStringLiteral("foo"));
    palette->terminal = view.get();
    palette->tabs = 0;
    session->performScrollbackSearch(QStringLiteral("foo"));
    EXPECT_TRUE(session->searchHighlights().empty());
    EXPECT_TRUE(palette->toasts.empty());
}
