#pragma once

#include <QList>
#include <QString>
#include <QVariant>
#include <QVariantMap>

class Defaults;

// One entry of the settings table: a key and the value it has until the user changes it. The type
// of the value is the type the key is stored and read in.
struct SettingDefault {
    QString key;
    QVariant value;
};

namespace settings {

// The 27 user-adjustable settings in their declared order. Built once, never changed.
const QList<SettingDefault>& defaultSettings();
// The same table as a map, for `Defaults::registerDefaults`.
QVariantMap defaultSettingsMap();

// Keys read with a default of their own, outside the table.
inline const QString kRemoteEnabled = QStringLiteral("remoteEnabled");
inline const QString kRemotePairingCode = QStringLiteral("remotePairingCode");
inline const QString kDictationLocale = QStringLiteral("dictationLocale");
inline const QString kDictationFnConflictShown = QStringLiteral("dictationFnConflictShown");

// The window geometry that counts towards "everything at its defaults".
inline constexpr double kDefaultWindowWidth = 860.0;
inline constexpr double kDefaultWindowHeight = 480.0;

// A stored double within this distance of its default still counts as the default, so that a
// slider dragged back by hand does not keep the reset row lit.
inline constexpr double kDoubleTolerance = 0.001;
// The window size may drift by a pixel through rounding without counting as resized.
inline constexpr double kWindowSizeTolerance = 1.0;

// True when every setting of the table and the window geometry are at their defaults. A value
// stored in a type the setting is not read in counts as a difference, so that the reset can
// clear it.
bool isAtDefaults(const Defaults& defaults);

} // namespace settings
