#pragma once

#include <QList>
#include <QString>
#include <QVariant>

// The user-adjustable settings, each written once: its name in the store, the type it is stored
// and read in, the value it has until the user changes it, and how far a stored value may lie from
// that default and still count as the default. The panel, the store's registered defaults, the
// reset and the applier all take their keys from here.
namespace settings {

// One identity per setting, so that code acting on a setting switches over an enum the compiler
// checks for completeness instead of comparing strings.
enum class SettingId {
    appLanguage,
    windowOpacity,
    blurIntensity,
    terminalFontSize,
    cursorStyle,
    fontFamily,
    defaultShellIndex,
    alwaysOnTop,
    followAllSpaces,
    autoDim,
    hideOnClickOutside,
    hideOnDeactivate,
    copyOnSelect,
    cursorBlink,
    syntaxHighlighting,
    promptTheme,
    autoStartEnabled,
    autoCheckUpdates,
    bellEnabled,
    bellOSNotification,
    bellSoundName,
    webPickerBrowser,
    showAIUsage,
    aiUsageRefreshIndex,
    colorTheme,
    dictationEnabled,
    dictationShowOverlay,
    dictationPushToTalkKey,
    dictationPushToTalkGlobal,
};

enum class SettingType { boolean, integer, number, text };

// A stored double within this distance of its default still counts as the default, so that a
// slider dragged back by hand does not keep the reset row lit.
inline constexpr double kDoubleTolerance = 0.001;

struct SettingKey {
    SettingId id;
    QString name;
    SettingType type;
    QVariant defaultValue;
    // How far a stored number may lie from the default and still count as it; 0 for exact.
    double tolerance = 0.0;

    // A key stands where the store expects its name.
    operator const QString&() const { return name; }
};

// The settings, in the order the table declares them.
inline const SettingKey kAppLanguage{SettingId::appLanguage, QStringLiteral("appLanguage"), SettingType::text, QString()};
inline const SettingKey kWindowOpacity{SettingId::windowOpacity, QStringLiteral("windowOpacity"), SettingType::number,
                                       0.99, kDoubleTolerance};
inline const SettingKey kBlurIntensity{SettingId::blurIntensity, QStringLiteral("blurIntensity"), SettingType::number,
                                       0.96, kDoubleTolerance};
inline const SettingKey kTerminalFontSize{SettingId::terminalFontSize, QStringLiteral("terminalFontSize"),
                                          SettingType::number, 10.0, kDoubleTolerance};
inline const SettingKey kCursorStyle{SettingId::cursorStyle, QStringLiteral("cursorStyle"), SettingType::integer, 0};
inline const SettingKey kFontFamily{SettingId::fontFamily, QStringLiteral("fontFamily"), SettingType::integer, 0};
inline const SettingKey kDefaultShellIndex{SettingId::defaultShellIndex, QStringLiteral("defaultShellIndex"),
                                           SettingType::integer, 0};
inline const SettingKey kAlwaysOnTop{SettingId::alwaysOnTop, QStringLiteral("alwaysOnTop"), SettingType::boolean, true};
inline const SettingKey kFollowAllSpaces{SettingId::followAllSpaces, QStringLiteral("followAllSpaces"),
                                         SettingType::boolean, false};
inline const SettingKey kAutoDim{SettingId::autoDim, QStringLiteral("autoDim"), SettingType::boolean, false};
inline const SettingKey kHideOnClickOutside{SettingId::hideOnClickOutside, QStringLiteral("hideOnClickOutside"),
                                            SettingType::boolean, false};
inline const SettingKey kHideOnDeactivate{SettingId::hideOnDeactivate, QStringLiteral("hideOnDeactivate"),
                                          SettingType::boolean, false};
inline const SettingKey kCopyOnSelect{SettingId::copyOnSelect, QStringLiteral("copyOnSelect"), SettingType::boolean, true};
inline const SettingKey kCursorBlink{SettingId::cursorBlink, QStringLiteral("cursorBlink"), SettingType::boolean, true};
inline const SettingKey kSyntaxHighlighting{SettingId::syntaxHighlighting, QStringLiteral("syntaxHighlighting"),
                                            SettingType::boolean, true};
inline const SettingKey kPromptTheme{SettingId::promptTheme, QStringLiteral("promptTheme"), SettingType::text,
                                     QStringLiteral("default")};
inline const SettingKey kAutoStartEnabled{SettingId::autoStartEnabled, QStringLiteral("autoStartEnabled"),
                                          SettingType::boolean, false};
inline const SettingKey kAutoCheckUpdates{SettingId::autoCheckUpdates, QStringLiteral("autoCheckUpdates"),
                                          SettingType::boolean, true};
inline const SettingKey kBellEnabled{SettingId::bellEnabled, QStringLiteral("bellEnabled"), SettingType::boolean, true};
inline const SettingKey kBellOSNotification{SettingId::bellOSNotification, QStringLiteral("bellOSNotification"),
                                            SettingType::boolean, true};
inline const SettingKey kBellSoundName{SettingId::bellSoundName, QStringLiteral("bellSoundName"), SettingType::text,
                                       QStringLiteral("Purr")};
inline const SettingKey kWebPickerBrowser{SettingId::webPickerBrowser, QStringLiteral("webPickerBrowser"),
                                          SettingType::integer, 0};
inline const SettingKey kShowAIUsage{SettingId::showAIUsage, QStringLiteral("showAIUsage"), SettingType::boolean, true};
inline const SettingKey kAIUsageRefreshIndex{SettingId::aiUsageRefreshIndex, QStringLiteral("aiUsageRefreshIndex"),
                                             SettingType::integer, 0};
inline const SettingKey kColorTheme{SettingId::colorTheme, QStringLiteral("colorTheme"), SettingType::integer, 0};
inline const SettingKey kDictationEnabled{SettingId::dictationEnabled, QStringLiteral("dictationEnabled"),
                                          SettingType::boolean, true};
inline const SettingKey kDictationShowOverlay{SettingId::dictationShowOverlay, QStringLiteral("dictationShowOverlay"),
                                              SettingType::boolean, true};
// The key held to dictate: 0 Right Ctrl, 1 Right Alt, 2 F13 (platform/PushToTalkKeys.h).
inline const SettingKey kDictationPushToTalkKey{SettingId::dictationPushToTalkKey,
                                                QStringLiteral("dictationPushToTalkKey"), SettingType::integer, 0};
// Off: the key starts dictation only while the window is shown and has the keyboard.
inline const SettingKey kDictationPushToTalkGlobal{SettingId::dictationPushToTalkGlobal,
                                                   QStringLiteral("dictationPushToTalkGlobal"), SettingType::boolean,
                                                   false};

// What the panel's reset row reports: an action, not a stored setting.
inline const QString kResetDefaults = QStringLiteral("resetDefaults");

// The window's remembered frame and mode: stored by the window itself as the user moves, sizes,
// detaches or docks it, not shown as settings, but cleared by the reset and weighed by its row.
inline const QString kWindowWidth = QStringLiteral("windowWidth");
inline const QString kWindowHeight = QStringLiteral("windowHeight");
// A detached window's top-left corner.
inline const QString kWindowX = QStringLiteral("windowX");
inline const QString kWindowY = QStringLiteral("windowY");
// A docked window's x, once the user moved it off its place under the tray icon.
inline const QString kDockedWindowX = QStringLiteral("dockedWindowX");
inline const QString kDockedWindowY = QStringLiteral("dockedWindowY");
inline const QString kWindowDetached = QStringLiteral("windowDetached");

// The 29 settings in their declared order. Built once, never changed.
const QList<const SettingKey*>& allSettings();

// The setting stored under `name`, or nullptr for a key outside the table.
const SettingKey* findSetting(const QString& name);

} // namespace settings
