#include "PaletteTestSupport.h"
#include "palette/BadgeLayout.h"

#include <QLabel>
#include <set>

namespace {

std::vector<PaletteCommand> numbered(int count, QStringList* ran) {
    std::vector<PaletteCommand> list;
    for (int i = 0; i < count; ++i) {
        const QString title = QStringLiteral("Item %1 with a longer title").arg(i, 2, 10, QLatin1Char('0'));
        list.push_back({title, QString(), [ran, title] { *ran << title; }});
    }
    return list;
}

} // namespace

TEST(BadgeLayout, PacksRowsOfAtMost260AndFourRows) {
    struct Case {
        std::vector<int> widths;
        std::vector<std::vector<int>> rows;
    };
    const std::vector<Case> cases{
        {{100, 100}, {{0, 1}}},
        {{100, 100, 50}, {{0, 1, 2}}},   // 100 + 105 + 55 = 260 fits exactly
        {{100, 100, 51}, {{0, 1}, {2}}}, // one more point opens a row
        {{300, 10}, {{0}, {1}}},         // a badge wider than a row still gets one
        {{200, 200, 200, 200, 200, 200}, {{0}, {1}, {2}, {3}}},
    };
    for (const Case& c : cases) EXPECT_EQ(badgelayout::packRows(c.widths), c.rows);
    EXPECT_EQ(badgelayout::rowStart({100, 50}, 800), (800 - 155) / 2.0);
}

TEST_F(PaletteTest, FilterIsACaseInsensitivePrefixMatchInListOrder) {
    defaults->registerDefaults({{QStringLiteral("cursorBlink"), true}});
    CommandPaletteView* palette = open();
    EXPECT_TRUE(palette->filtered().empty()) << "nothing is listed before typing";
    type(QStringLiteral("cur"));
    EXPECT_EQ(filteredTitles(),
              (QStringList{QStringLiteral("Cursor Block"), QStringLiteral("Cursor Beam"),
                           QStringLiteral("Cursor Underline"), QStringLiteral("Cursor Blink (on)")}));
    ASSERT_EQ(palette->badgeViews().size(), 4u);
    EXPECT_TRUE(palette->badgeContainer()->isVisible());
    // The badges sit above the palette box, the brand tab hangs under it.
    EXPECT_LT(palette->badgeContainer()->geometry().bottom(), palette->geometry().top());
    EXPECT_EQ(palette->nameLabel()->geometry().top(), palette->geometry().bottom());

    palette->searchField()->clear();
    type(QStringLiteral("BEAM"));
    EXPECT_TRUE(palette->filtered().empty()) << "no substring match";
    EXPECT_FALSE(palette->badgeContainer()->isVisible());
}

TEST_F(PaletteTest, OnlyTwentyCandidatesInAtMostFourRowsAndTheArrowsStopAtTheEnds) {
    QStringList ran;
    CommandPaletteView* palette = open();
    palette->setup(numbered(25, &ran));
    type(QStringLiteral("item"));
    ASSERT_EQ(palette->filtered().size(), 25u);
    std::set<int> rowTops;
    for (QWidget* badge : palette->badgeViews()) {
        rowTops.insert(badge->y());
        EXPECT_GE(badge->x(), 0);
    }
    EXPECT_LE(rowTops.size(), 4u);
    EXPECT_LT(palette->badgeViews().size(), 20u) << "long titles fill four rows before 20 badges";
    // Each row is at most 260 wide.
    for (int top : rowTops) {
        int left = INT_MAX, right = 0;
        for (QWidget* badge : palette->badgeViews())
            if (badge->y() == top) {
                left = std::min(left, badge->x());
                right = std::max(right, badge->x() + badge->width());
            }
        EXPECT_LE(right - left, 260);
    }

    press(Qt::Key_Left);
    EXPECT_EQ(palette->selectedIndex(), 0);
    for (int i = 0; i < 30; ++i) press(Qt::Key_Right);
    EXPECT_EQ(palette->selectedIndex(), 19) << "the 20th candidate, which has no badge on show";
    press(Qt::Key_Return);
    EXPECT_EQ(ran, QStringList{QStringLiteral("Item 19 with a longer title")});
    EXPECT_TRUE(waitClosed());
    EXPECT_TRUE(host->calls.contains(QStringLiteral("activateAfterSnap")));
}

TEST_F(PaletteTest, ReturnWithoutAMatchKeepsThePaletteAndEscapeClosesIt) {
    CommandPaletteView* palette = open();
    type(QStringLiteral("zzz"));
    press(Qt::Key_Return);
    EXPECT_FALSE(palette->isDismissing());
    press(Qt::Key_Escape);
    EXPECT_TRUE(waitClosed());
}

TEST_F(PaletteTest, ABadgeClickRunsItsCommand) {
    QStringList ran;
    CommandPaletteView* palette = open();
    palette->setup(numbered(3, &ran));
    type(QStringLiteral("item"));
    ASSERT_EQ(palette->badgeViews().size(), 3u);
    QTest::mouseClick(palette->badgeViews()[1], Qt::LeftButton);
    EXPECT_EQ(ran, QStringList{QStringLiteral("Item 01 with a longer title")});
    EXPECT_TRUE(waitClosed());
}

TEST_F(PaletteTest, ConfirmationTakesTheLastLetterTyped) {
    struct Case {
        QString typed;
        bool confirmed;
        bool closed;
    };
    const std::vector<Case> cases{
        {QStringLiteral("Y"), true, true},
        {QStringLiteral("yes"), true, true}, // confirms at its first letter
        {QStringLiteral("n"), false, true},
        {QStringLiteral("x"), false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        CommandPaletteView* palette = open();
        bool confirmed = false;
        palette->showConfirm(QStringLiteral("Sure? (y/n)"), [&] { confirmed = true; });
        EXPECT_EQ(palette->searchField()->placeholderText(), QStringLiteral("Sure? (y/n)"));
        type(c.typed);
        EXPECT_EQ(confirmed, c.confirmed);
        EXPECT_EQ(palette->isDismissing(), c.closed);
        if (!c.closed) {
            EXPECT_TRUE(palette->searchField()->text().isEmpty()) << "another letter empties the field";
            press(Qt::Key_Return);
            EXPECT_FALSE(palette->isDismissing());
            press(Qt::Key_Escape);
            EXPECT_FALSE(confirmed);
        }
        ASSERT_TRUE(waitClosed());
    }
}

TEST_F(PaletteTest, InputIsTrimmedAndEmptyInputIsNoAnswer) {
    CommandPaletteView* palette = open();
    QStringList answers;
    palette->showInput(QStringLiteral("Name?"), [&](const QString& text) { answers << text; });
    type(QStringLiteral("  \t "));
    press(Qt::Key_Return);
    EXPECT_TRUE(answers.isEmpty());
    EXPECT_FALSE(palette->isDismissing());
    palette->searchField()->clear();
    type(QStringLiteral("\t left right "));
    press(Qt::Key_Left); // moves the cursor in the text: input mode has no badges
    press(Qt::Key_Return);
    EXPECT_EQ(answers, QStringList{QStringLiteral("left right")});
    EXPECT_TRUE(waitClosed());
}

TEST_F(PaletteTest, ALongPromptScrollsUntilTheFirstKeystroke) {
    CommandPaletteView* palette = open();
    palette->showInput(QStringLiteral("Short?"), [](const QString&) {});
    EXPECT_EQ(palette->searchField()->placeholderText(), QStringLiteral("Short?"));
    EXPECT_EQ(palette->marqueeLabel(), nullptr);

    const QString prompt = QStringLiteral("Hide on Click Outside? (off) [on/off] and then some more words");
    palette->showInput(prompt, [](const QString&) {});
    ASSERT_NE(palette->marqueeLabel(), nullptr);
    EXPECT_TRUE(palette->searchField()->placeholderText().isEmpty());
    EXPECT_TRUE(palette->marqueeTimer().isActive());
    const int x0 = palette->marqueeLabel()->x();
    for (int i = 0; i < 10; ++i) palette->marqueeTick();
    EXPECT_DOUBLE_EQ(palette->marqueeOffset(), 6.0);
    EXPECT_EQ(palette->marqueeLabel()->x(), x0 - 6);
    // Past the end it jumps back to 30 % of the field's width and scrolls on.
    for (int i = 0; i < 2000 && palette->marqueeOffset() > 0; ++i) palette->marqueeTick();
    EXPECT_DOUBLE_EQ(palette->marqueeOffset(), -0.3 * palette->searchField()->width());

    type(QStringLiteral("o"));
    EXPECT_EQ(palette->marqueeLabel(), nullptr);
    EXPECT_FALSE(palette->marqueeTimer().isActive());
}

TEST_F(PaletteTest, TheToggleClosesAnOpenPaletteAndAHiddenWindowGetsNone) {
    CommandPaletteView* palette = open();
    subsystem->toggleCommandPalette();
    EXPECT_TRUE(palette->isDismissing());
    EXPECT_TRUE(waitClosed());

    host->window.hide();
    subsystem->toggleCommandPalette();
    EXPECT_EQ(subsystem->commandPalette(), nullptr);
}
