#include "app/settings/PaneSettingsFromStore.h"

#include "platform/Defaults.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

// A pane's share of the settings as read from a store with nothing registered, so that what a
// missing or wrongly typed value reads as is the reading's own doing.
TEST(PaneSettingsFromStore, ReadsEachSettingAndToleratesMissingOrWronglyTypedValues) {
    struct Case {
        const char* name;
        QList<std::pair<QString, QVariant>> stored;
        bool copyOnSelect;
        bool syntaxHighlighting;
        QString promptTheme;
    };
    const QList<Case> cases{
        {"nothing stored", {}, true, false, "default"},
        {"as stored", {{"copyOnSelect", false}, {"syntaxHighlighting", true}, {"promptTheme", "neon"}}, false, true, "neon"},
        {"an empty theme name is kept", {{"promptTheme", ""}}, true, false, ""},
        {"copying stored as a number stays on", {{"copyOnSelect", 0}}, true, false, "default"},
    };
    for (const Case& c : cases) {
        QTemporaryDir dir;
        Defaults store(dir.filePath("defaults.json"));
        for (const auto& [key, value] : c.stored) store.setValue(key, value);
        const PaneSettings pane = settings::paneSettingsFrom(store);
        EXPECT_EQ(pane.copyOnSelect, c.copyOnSelect) << c.name;
        EXPECT_EQ(pane.syntaxHighlighting, c.syntaxHighlighting) << c.name;
        EXPECT_EQ(pane.promptTheme, c.promptTheme) << c.name;
    }

    QTemporaryDir dir;
    Defaults store(dir.filePath("defaults.json"));
    store.setValue("terminalFontSize", 14.5);
    store.setValue("fontFamily", 2);
    store.setValue("cursorStyle", 2);
    store.setValue("cursorBlink", false);
    const PaneSettings pane = settings::paneSettingsFrom(store);
    EXPECT_DOUBLE_EQ(pane.fontSize, 14.5);
    EXPECT_EQ(pane.fontFamily, 2);
    EXPECT_EQ(pane.cursorStyle, 2);
    EXPECT_FALSE(pane.cursorBlink);
}
