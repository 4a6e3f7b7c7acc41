#include "settings/SettingsKeys.h"

#include <QHash>

namespace settings {

const QList<const SettingKey*>& allSettings() {
    // A function-local static: built once, safely, on first use.
    static const QList<const SettingKey*> table{
        &kAppLanguage,        &kWindowOpacity,     &kBlurIntensity,       &kTerminalFontSize, &kCursorStyle,
        &kFontFamily,         &kDefaultShellIndex, &kAlwaysOnTop,         &kFollowAllSpaces,  &kAutoDim,
        &kHideOnClickOutside, &kHideOnDeactivate,  &kCopyOnSelect,        &kCursorBlink,      &kSyntaxHighlighting,
        &kPromptTheme,        &kAutoStartEnabled,  &kAutoCheckUpdates,    &kBellEnabled,      &kBellOSNotification,
        &kBellSoundName,      &kWebPickerBrowser,  &kShowAIUsage,         &kAIUsageRefreshIndex, &kColorTheme,
        &kDictationEnabled,   &kDictationShowOverlay, &kDictationPushToTalkKey, &kDictationPushToTalkGlobal,
    };
    return table;
}

const SettingKey* findSetting(const QString& name) {
    static const QHash<QString, const SettingKey*> byName = [] {
        QHash<QString, const SettingKey*> map;
        for (const SettingKey* key : allSettings()) map.insert(key->name, key);
        return map;
    }();
    return byName.value(name, nullptr);
}

} // namespace settings
