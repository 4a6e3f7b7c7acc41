#include "settings/SettingsDefaults.h"

#include "platform/Defaults.h"

#include <cmath>

namespace settings {
namespace {

bool differsFromDefault(const Defaults& defaults, const SettingKey& key) {
    const QVariant stored = defaults.object(key);
    switch (key.type) {
    case SettingType::number:
        if (!Defaults::isNumber(stored)) return true;
        return std::fabs(defaults.doubleValue(key) - key.defaultValue.toDouble()) > key.tolerance;
    case SettingType::integer:
        if (!Defaults::isNumber(stored) && stored.typeId() != QMetaType::Bool) return true;
        return defaults.integer(key) != key.defaultValue.toLongLong();
    case SettingType::boolean:
        if (!Defaults::isNumber(stored) && stored.typeId() != QMetaType::Bool) return true;
        return defaults.boolean(key) != key.defaultValue.toBool();
    case SettingType::text:
        return stored.typeId() != QMetaType::QString || stored.toString() != key.defaultValue.toString();
    }
    return stored != key.defaultValue;
}

} // namespace

QVariantMap defaultSettingsMap() {
    QVariantMap map;
    for (const SettingKey* key : allSettings()) map.insert(key->name, key->defaultValue);
    return map;
}

bool isAtDefaults(const Defaults& defaults) {
    for (const SettingKey* key : allSettings())
        if (differsFromDefault(defaults, *key)) return false;

    const double width = defaults.doubleValue(settings::kWindowWidth);
    if (width > 0 && std::fabs(width - kDefaultWindowWidth) > kWindowSizeTolerance) return false;
    const double height = defaults.doubleValue(settings::kWindowHeight);
    if (height > 0 && std::fabs(height - kDefaultWindowHeight) > kWindowSizeTolerance) return false;

    if (defaults.doubleValue(settings::kWindowX) != 0.0) return false;
    if (defaults.doubleValue(settings::kWindowY) != 0.0) return false;

    // Any remembered docked position, even the computed one, is a choice the reset can undo.
    return !defaults.object(settings::kDockedWindowX).isValid();
}

} // namespace settings
