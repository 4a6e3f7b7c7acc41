#pragma once

#include "settings/SettingsKeys.h"

#include <QString>
#include <QVariantMap>

class Defaults;

namespace settings {

// The settings table's defaults as a map, for `Defaults::registerDefaults`.
QVariantMap defaultSettingsMap();

// Keys read with a default of their own, outside the table.
inline const QString kRemoteEnabled = QStringLiteral("remoteEnabled");
inline const QString kRemotePairingCode = QStringLiteral("remotePairingCode");
// The relay the remote viewer meets the program at ("host" or "host:port"); there is none by default.
inline const QString kRemoteRelayHost = QStringLiteral("remoteRelayHost");
inline const QString kDictationLocale = QStringLiteral("dictationLocale");
inline const QString kDictationFnConflictShown = QStringLiteral("dictationFnConflictShown");

// The window geometry that counts towards "everything at its defaults".
inline constexpr double kDefaultWindowWidth = 860.0;
inline constexpr double kDefaultWindowHeight = 480.0;

// The window size may drift by a pixel through rounding without counting as resized.
inline constexpr double kWindowSizeTolerance = 1.0;

// True when every setting of the table and the window geometry are at their defaults. A value
// stored in a type the setting is not read in counts as a difference, so that the reset can
// clear it.
bool isAtDefaults(const Defaults& defaults);

} // namespace settings
