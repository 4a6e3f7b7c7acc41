#include "palette/SettingPrompts.h"

#include "PaletteTestSupport.h"
#include "settings/PromptThemes.h"

TEST(SettingPrompts, AnswersAreReadStrictly) {
    struct Toggle {
        QString answer;
        std::optional<bool> value;
    };
    for (const Toggle& c :
         std::vector<Toggle>{{"ON", true}, {"off", false}, {"yes", {}}, {"1", {}}, {"true", {}}})
        EXPECT_EQ(prompts::parseToggle(c.answer), c.value) << c.answer.toStdString();

    struct Slider {
        QString answer;
        int min, max;
        std::optional<int> value;
    };
    const std::vector<Slider> sliders{
        {"50%", 30, 100, 50},
        {"50", 30, 100, 50},
        {"+50", 30, 100, 50},
        {"50 %", 30, 100, {}},
        {"29", 30, 100, {}},
        {"101", 30, 100, {}},
        {"abc", 30, 100, {}},
        {"12pt", 8, 18, 12},
        {"7", 8, 18, {}},
        {"0", 0, 100, 0},
        {"-0", 0, 100, 0},
        {"-5", 0, 100, {}},
        {"99999999999", 0, 100, {}},
        {"５０", 30, 100, {}},
        {"", 0, 100, {}},
    };
    for (const Slider& c : sliders)
        EXPECT_EQ(prompts::parseSlider(c.answer, c.min, c.max), c.value) << c.answer.toStdString();

    const QStringList& themes = settings::promptThemeNames();
    EXPECT_EQ(prompts::parseChoice(QStringLiteral("Retro"), themes), 4);
    EXPECT_EQ(prompts::parseChoice(QStringLiteral("ret"), themes), std::nullopt);
    EXPECT_EQ(prompts::parseChoice(QStringLiteral("System"), PaletteSubsystem::fontNames()), std::nullopt);
}

TEST_F(PaletteTest, AnAcceptedAnswerIsStoredThenApplied) {
    struct Case {
        std::function<void()> ask;
        QString answer;
        QString key;
        QVariant stored; // invalid: nothing is stored or applied
    };
    const std::vector<Case> cases{
        {[&] { subsystem->promptToggle(QStringLiteral("Always on Top"), QStringLiteral("alwaysOnTop")); },
         QStringLiteral(" ON "), QStringLiteral("alwaysOnTop"), true},
        {[&] { subsystem->promptToggle(QStringLiteral("Auto-Dim"), QStringLiteral("autoDim")); },
         QStringLiteral("yes"), QStringLiteral("autoDim"), QVariant()},
        {[&] {
             subsystem->promptSlider(QStringLiteral("Opacity"), QStringLiteral("windowOpacity"), "85%", 30,
                                     100);
         },
         QStringLiteral("50%"), QStringLiteral("windowOpacity"), 0.5},
        {[&] {
             subsystem->promptSlider(QStringLiteral("Fontsize"), QStringLiteral("terminalFontSize"), "10pt",
                                     8, 18);
         },
         QStringLiteral("12pt"), QStringLiteral("terminalFontSize"), 12.0},
        {[&] {
             subsystem->promptSlider(QStringLiteral("Blur"), QStringLiteral("blurIntensity"), "96%", 0, 100);
         },
         QStringLiteral("-0"), QStringLiteral("blurIntensity"), 0.0},
        {[&] {
             subsystem->promptChoice(QStringLiteral("Shell"), QStringLiteral("defaultShellIndex"), "zsh",
                                     PaletteSubsystem::shellNames());
         },
         QStringLiteral("SH"), QStringLiteral("defaultShellIndex"), qint64(2)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answer.toStdString());
        host->applied.clear();
        host->storedWhenApplied.clear();
        open();
        c.ask();
        type(c.answer);
        press(Qt::Key_Return);
        ASSERT_TRUE(waitClosed()) << "the palette closes whether or not the answer was taken";
        if (!c.stored.isValid()) {
            EXPECT_TRUE(host->applied.isEmpty());
            EXPECT_FALSE(defaults->hasStoredValue(c.key));
            continue;
        }
        ASSERT_EQ(host->applied.size(), 1);
        EXPECT_EQ(host->applied[0].first, c.key);
        EXPECT_EQ(host->applied[0].second, c.stored);
        EXPECT_EQ(host->storedWhenApplied[0], c.stored) << "written before it is applied";
    }
}

TEST_F(PaletteTest, ResetAsksFirst) {
    open();
    subsystem->confirmResetSystem();
    type(QStringLiteral("Y"));
    ASSERT_TRUE(waitClosed());
    ASSERT_EQ(host->applied.size(), 1);
    EXPECT_EQ(host->applied[0], qMakePair(QStringLiteral("resetDefaults"), QVariant(true)));
}
