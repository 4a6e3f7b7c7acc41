#include "settings/SettingsDefaults.h"

#include "SettingsTestSupport.h"
#include "settings/TerminalFonts.h"

#include <QFontDatabase>
#include <QSet>

using namespace settingstest;

TEST(SettingsDefaults, TableHoldsTheTwentyNineSettingsInOrderWithTheirTypes) {
    const QList<const settings::SettingKey*>& table = SettingsOverlay::defaultSettings();
    ASSERT_EQ(table.size(), 29);
    QStringList keys;
    QSet<QString> unique;
    for (const settings::SettingKey* entry : table) {
        keys << entry->name;
        unique.insert(entry->name);
        EXPECT_EQ(settings::findSetting(entry->name), entry);
    }
    EXPECT_EQ(settings::findSetting("resetDefaults"), nullptr);
    EXPECT_EQ(unique.size(), 29);
    EXPECT_EQ(keys.first(), "appLanguage");
    EXPECT_EQ(keys.indexOf("terminalFontSize"), 3);
    EXPECT_EQ(keys.indexOf("promptTheme"), 15);
    EXPECT_EQ(keys.last(), "dictationPushToTalkGlobal");

    const QVariantMap map = SettingsOverlay::defaultSettingsMap();
    EXPECT_EQ(map.size(), 29);
    EXPECT_EQ(map.value("appLanguage").typeId(), QMetaType::QString);
    EXPECT_EQ(map.value("appLanguage").toString(), "");
    EXPECT_EQ(map.value("windowOpacity").typeId(), QMetaType::Double);
    EXPECT_DOUBLE_EQ(map.value("windowOpacity").toDouble(), 0.99);
    EXPECT_DOUBLE_EQ(map.value("blurIntensity").toDouble(), 0.96);
    EXPECT_EQ(map.value("terminalFontSize").typeId(), QMetaType::Double);
    EXPECT_EQ(map.value("cursorStyle").typeId(), QMetaType::Int);
    EXPECT_EQ(map.value("alwaysOnTop"), QVariant(true));
    EXPECT_EQ(map.value("followAllSpaces"), QVariant(false));
    EXPECT_EQ(map.value("copyOnSelect"), QVariant(true));
    EXPECT_EQ(map.value("autoStartEnabled"), QVariant(false));
    EXPECT_EQ(map.value("promptTheme"), QVariant(QStringLiteral("default")));
    EXPECT_EQ(map.value("bellSoundName"), QVariant(QStringLiteral("Purr")));
    EXPECT_EQ(map.value("colorTheme"), QVariant(0));
    EXPECT_EQ(map.value("dictationPushToTalkKey"), QVariant(0));
    EXPECT_EQ(map.value("dictationPushToTalkGlobal"), QVariant(false));
}

TEST(SettingsDefaults, NothingWrittenIsAtDefaults) {
    SettingsEnvironment env;
    EXPECT_TRUE(settings::isAtDefaults(*env.defaults));
    // Writing every default explicitly is still at defaults.
    for (const settings::SettingKey* entry : SettingsOverlay::defaultSettings())
        env.defaults->setValue(entry->name, entry->defaultValue);
    EXPECT_TRUE(settings::isAtDefaults(*env.defaults));
}

TEST(SettingsDefaults, AtDefaultsTable) {
    struct Case {
        const char* name;
        QList<std::pair<QString, QVariant>> stored;
        bool atDefaults;
    };
    const QList<Case> cases{
        {"font size within the tolerance", {{"terminalFontSize", 10.0005}}, true},
        {"font size beyond the tolerance", {{"terminalFontSize", 10.002}}, false},
        {"opacity moved", {{"windowOpacity", 0.5}}, false},
        {"an integer choice", {{"cursorStyle", 2}}, false},
        {"an integer choice stored as a whole double", {{"cursorStyle", 0.0}}, true},
        {"a switch", {{"alwaysOnTop", false}}, false},
        {"a name", {{"bellSoundName", QStringLiteral("Ping")}}, false},
        {"empty language", {{"appLanguage", QString()}}, true},
        {"a language", {{"appLanguage", QStringLiteral("de")}}, false},
        {"width rounding", {{"windowWidth", 860.8}}, true},
        {"width resized", {{"windowWidth", 861.5}}, false},
        {"width never stored", {{"windowWidth", 0.0}, {"windowHeight", -3.0}}, true},
        {"height resized", {{"windowHeight", 500.0}}, false},
        {"height rounding", {{"windowHeight", 479.2}}, true},
        {"detached position", {{"windowX", 12.0}}, false},
        {"detached position y", {{"windowY", 0.5}}, false},
        {"detached position at the origin", {{"windowX", 0.0}, {"windowY", 0}}, true},
        {"any docked position", {{"dockedWindowX", 0.0}}, false},
        {"a key outside the table", {{"remoteEnabled", true}, {"sessionTabs", QVariantList{}}}, true},
        // Values of a type the setting is not read in are differences the reset can clear.
        {"language stored as a number", {{"appLanguage", 5}}, false},
        {"font size stored as text", {{"terminalFontSize", QStringLiteral("10")}}, false},
        {"switch stored as text", {{"copyOnSelect", QStringLiteral("yes")}}, false},
        {"choice stored as text", {{"colorTheme", QStringLiteral("0")}}, false},
        {"switch stored as a number", {{"copyOnSelect", 1}}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SettingsEnvironment env;
        for (const auto& [key, value] : c.stored) env.defaults->setValue(key, value);
        EXPECT_EQ(settings::isAtDefaults(*env.defaults), c.atDefaults);
    }
}

TEST(SettingsDefaults, RemovingTheLanguageLeavesTheRegisteredEmptyString) {
    SettingsEnvironment env;
    env.defaults->setValue("appLanguage", QStringLiteral("fr"));
    EXPECT_FALSE(settings::isAtDefaults(*env.defaults));
    env.defaults->removeObject("appLanguage");
    EXPECT_TRUE(settings::isAtDefaults(*env.defaults));
}

TEST(SettingsDefaults, ValuesSurviveTheStoreOnDisk) {
    // A double written as a whole number must still read as the double default after a reload.
    SettingsEnvironment env;
    env.defaults->setValue("terminalFontSize", 10.0);
    env.defaults->setValue("cursorStyle", 0);
    ASSERT_TRUE(env.defaults->synchronize());
    Defaults reloaded(env.defaults->filePath());
    SettingsOverlay::registerDefaultSettings(reloaded);
    EXPECT_TRUE(settings::isAtDefaults(reloaded));
}

TEST(TerminalFonts, PackagedFacesAreUsedAndMissingOnesFallBackToTheSystemMonospace) {
    const QString systemMono = QFontDatabase::systemFont(QFontDatabase::FixedFont).family();
    EXPECT_EQ(settings::terminalFontFamily(0), "Fira Code");
    EXPECT_EQ(settings::terminalFontFamily(1), "JetBrains Mono");
    for (qint64 index : {2, 3, 9}) {
        const QString family = settings::terminalFontFamily(index);
        if (QFontDatabase::families().contains(family) && family != systemMono) {
            // Installed by the user after all.
            EXPECT_TRUE(family.startsWith("Monocraft") || family.startsWith("Iosevka"))
                << family.toStdString();
        } else {
            EXPECT_EQ(family, systemMono);
        }
    }
    EXPECT_EQ(settings::terminalFontFamily(-4), "Fira Code");
}
