#include "SettingsTestSupport.h"
#include "chrome/ChromeStyle.h"
#include "settings/ColorThemeRow.h"
#include "settings/ThemeCardView.h"

using namespace settingstest;
using namespace chrometest;

namespace {
struct Panel : PanelFixture {
    ColorThemeRow* colorRow() const {
        return qobject_cast<ColorThemeRow*>(rowNamed(*panel, "colorTheme:colorTheme"));
    }
};
} // namespace

TEST(ColorThemeRow, HoverPreviewsAndLeavingReturnsToTheSavedThemeWithoutWriting) {
    Panel p;
    p.build();
    ColorThemeRow* row = p.colorRow();
    ASSERT_TRUE(row);
    ASSERT_EQ(row->buttons().size(), 4);
    EXPECT_EQ(row->buttons().at(0)->title(), "Dark");
    EXPECT_EQ(row->buttons().at(3)->title(), "System");
    EXPECT_TRUE(row->buttons().at(0)->isSelected());
    EXPECT_EQ(row->buttons().at(1)->geometry(), QRect(8 + 56 + 4, 4, 56, 20));

    for (int i : {1, 2, 3}) {
        enter(row->buttons().at(i));
        leave(row->buttons().at(i));
    }
    EXPECT_EQ(p.host.previews, (QList<int>{1, 0, 2, 0, 3, 0}));
    EXPECT_FALSE(p.env.defaults->hasStoredValue("colorTheme"));
    EXPECT_TRUE(p.reports.isEmpty());
}

TEST(ColorThemeRow, ClickSavesTheChipAndReportsItEvenWhenAlreadySelected) {
    Panel p;
    p.env.defaults->setValue("colorTheme", 2);
    p.build();
    ColorThemeRow* row = p.colorRow();
    EXPECT_TRUE(row->buttons().at(2)->isSelected());
    click(row->buttons().at(1));
    EXPECT_EQ(p.env.defaults->integer("colorTheme"), 1);
    ASSERT_EQ(p.reports.size(), 1);
    EXPECT_EQ(p.reports.at(0).key, "colorTheme");
    EXPECT_EQ(p.reports.at(0).value, QVariant(1));
    EXPECT_TRUE(row->buttons().at(1)->isSelected());
    EXPECT_FALSE(row->buttons().at(2)->isSelected());

    // Leaving now returns to the newly saved theme.
    leave(row->buttons().at(1));
    EXPECT_EQ(p.host.previews.last(), 1);

    click(row->buttons().at(1));
    ASSERT_EQ(p.reports.size(), 2);
    EXPECT_EQ(p.reports.at(1).value, QVariant(1));

    // A press released outside the chip chooses nothing.
    press(row->buttons().at(3), {5, 5});
    release(row->buttons().at(3), {200, 5});
    EXPECT_EQ(p.reports.size(), 2);
}

TEST(PromptThemePicker, ShowsTheStoredNameAndReportsTheCardIndexWithoutWriting) {
    struct Case {
        QVariant stored;
        int chosen;
    };
    for (const Case& c : {Case{QVariant(), 0}, Case{QStringLiteral("retro"), 4},
                          Case{QStringLiteral("fancy"), 0}, Case{QVariant(3), 0}}) {
        SCOPED_TRACE(c.stored.toString().toStdString());
        Panel p;
        if (c.stored.isValid()) p.env.defaults->setValue("promptTheme", c.stored);
        p.build();
        for (int i = 0; i < p.panel->themeCards().size(); ++i)
            EXPECT_EQ(p.panel->themeCards().at(i)->isChosen, i == c.chosen) << i;
    }

    Panel p;
    p.build();
    const auto& cards = p.panel->themeCards();
    EXPECT_TRUE(cards.at(1)->sampleText().startsWith("Cyber     ╭─ ⚡user"));
    EXPECT_EQ(cards.at(0)->sampleText(), "Default   ~ %");
    click(cards.at(5));
    ASSERT_EQ(p.reports.size(), 1);
    EXPECT_EQ(p.reports.at(0).key, "promptTheme");
    EXPECT_EQ(p.reports.at(0).value, QVariant(5));
    EXPECT_FALSE(p.env.defaults->hasStoredValue("promptTheme")) << "the controller stores the name";
    for (int i = 0; i < cards.size(); ++i) EXPECT_EQ(cards.at(i)->isChosen, i == 5);

    // Pressed and released outside: springs back, chooses nothing.
    press(cards.at(2), {10, 8});
    EXPECT_DOUBLE_EQ(cards.at(2)->scaleTarget(), ThemeCardView::kPressScale);
    release(cards.at(2), {10, 80});
    EXPECT_DOUBLE_EQ(cards.at(2)->scaleTarget(), 1.0);
    EXPECT_EQ(p.reports.size(), 1);
}

TEST(ThemeCardView, LooksFollowChosenBeforeHovered) {
    ThemeCardView card({{QStringLiteral("Default   ~ %"), QFont(), Qt::white}});
    card.resize(200, 16);
    card.updateLook(false);
    EXPECT_EQ(card.backgroundTarget(), chrome::clear());
    EXPECT_EQ(card.borderWidth(), 0.0);
    enter(&card);
    EXPECT_EQ(card.backgroundTarget(), chrome::white(1.0, 0.06));
    EXPECT_EQ(card.borderWidth(), 0.5);
    card.isChosen = true;
    card.updateLook(false);
    EXPECT_EQ(card.backgroundTarget(), chrome::white(1.0, 0.08));
    EXPECT_EQ(card.borderWidth(), 1.0);
    EXPECT_EQ(card.borderColor(), chrome::rgb(0.4, 0.7, 1.0, 0.4));
}
