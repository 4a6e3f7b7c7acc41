#include "settings/SettingsDefaults.h"

#include "platform/Defaults.h"

#include <cmath>

namespace settings {
namespace {

bool differsFromDefault(const Defaults& defaults, const SettingDefault& entry) {
    const QVariant stored = defaults.object(entry.key);
    switch (entry.value.typeId()) {
    case QMetaType::Double:
        if (!Defaults::isNumber(stored)) return true;
        return std::fabs(defaults.doubleValue(entry.key) - entry.value.toDouble()) > kDoubleTolerance;
    case QMetaType::Int:
    case QMetaType::LongLong:
        if (!Defaults::isNumber(stored) && stored.typeId() != QMetaType::Bool) return true;
        return defaults.integer(entry.key) != entry.value.toLongLong();
    case QMetaType::Bool:
        if (!Defaults::isNumber(stored) && stored.typeId() != QMetaType::Bool) return true;
        return defaults.boolean(entry.key) != entry.value.toBool();
    case QMetaType::QString:
        return stored.typeId() != QMetaType::QString || stored.toString() != entry.value.toString();
    default:
        return stored != entry.value;
    }
}

} // namespace

const QList<SettingDefault>& defaultSettings() {
    // A function-local static: built once, safely, on first use.
    static const QList<SettingDefault> table{
        {QStringLiteral("appLanguage"), QString()},
        {QStringLiteral("windowOpacity"), 0.99},
        {QStringLiteral("blurIntensity"), 0.96},
        {QStringLiteral("terminalFontSize"), 10.0},
        {QStringLiteral("cursorStyle"), 0},
        {QStringLiteral("fontFamily"), 0},
        {QStringLiteral("defaultShellIndex"), 0},
        {QStringLiteral("alwaysOnTop"), true},
        {QStringLiteral("followAllSpaces"), false},
        {QStringLiteral("autoDim"), false},
        {QStringLiteral("hideOnClickOutside"), false},
        {QStringLiteral("hideOnDeactivate"), false},
        {QStringLiteral("copyOnSelect"), true},
        {QStringLiteral("cursorBlink"), true},
        {QStringLiteral("syntaxHighlighting"), true},
        {QStringLiteral("promptTheme"), QStringLiteral("default")},
        {QStringLiteral("autoStartEnabled"), false},
        {QStringLiteral("autoCheckUpdates"), true},
        {QStringLiteral("bellEnabled"), true},
        {QStringLiteral("bellOSNotification"), true},
        {QStringLiteral("bellSoundName"), QStringLiteral("Purr")},
        {QStringLiteral("webPickerBrowser"), 0},
        {QStringLiteral("showAIUsage"), true},
        {QStringLiteral("aiUsageRefreshIndex"), 0},
        {QStringLiteral("colorTheme"), 0},
        {QStringLiteral("dictationEnabled"), true},
        {QStringLiteral("dictationShowOverlay"), true},
    };
    return table;
}

QVariantMap defaultSettingsMap() {
    QVariantMap map;
    for (const SettingDefault& entry : defaultSettings()) map.insert(entry.key, entry.value);
    return map;
}

bool isAtDefaults(const Defaults& defaults) {
    for (const SettingDefault& entry : defaultSettings())
        if (differsFromDefault(defaults, entry)) return false;

    const double width = defaults.doubleValue(QStringLiteral("windowWidth"));
    if (width > 0 && std::fabs(width - kDefaultWindowWidth) > kWindowSizeTolerance) return false;
    const double height = defaults.doubleValue(QStringLiteral("windowHeight"));
    if (height > 0 && std::fabs(height - kDefaultWindowHeight) > kWindowSizeTolerance) return false;

    if (defaults.doubleValue(QStringLiteral("windowX")) != 0.0) return false;
    if (defaults.doubleValue(QStringLiteral("windowY")) != 0.0) return false;

    // Any remembered docked position, even the computed one, is a choice the reset can undo.
    return !defaults.object(QStringLiteral("dockedWindowX")).isValid();
}

} // namespace settings
